#include "menus/MenuLayer.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/Label.h"
#include "engine/2d/Scene.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Button.h"
#include "engine/ui/Scale9Sprite.h"
#include "engine/ui/ScrollView.h"
#include "engine/ui/Slider.h"
#include "menus/AlertViewLayer.h"

using engine::Rect;
using engine::Size;
using engine::Vec2;
using engine::ui::Button;

namespace {

const char* const kBoldFont = "fonts/roboto/Roboto-Bold.ttf";
const char* const kRegularFont = "fonts/roboto/Roboto-Regular.ttf";
const engine::Color3B kBrightTitle(255, 255, 255);
const engine::Color3B kDimTitle(127, 127, 127);
const engine::Color3B kDisabledSlider(64, 64, 64);

// A slider's percentage from a model value that may be anything, NaN included.
int sliderPercent(float percent) {
    if (!(percent > 0.f))
        return 0;
    return static_cast<int>(std::lround(std::min(percent, 100.f)));
}

}  // namespace

MenuLayer::~MenuLayer() {
    dropAlert();
}

bool MenuLayer::init() {
    if (!Layer::init())
        return false;
    setCascadeOpacityEnabled(true);
    panel_ = engine::ui::Scale9Sprite::create("MenuBackground.png");
    if (panel_) {
        panel_->setAnchorPoint(Vec2::ZERO);
        panel_->setCascadeOpacityEnabled(true);
        addChild(panel_, -1);
    }
    scroll_ = engine::ui::ScrollView::create();
    if (!scroll_)
        return false;
    scroll_->setDirection(engine::ui::ScrollView::Direction::VERTICAL);
    scroll_->setClippingEnabled(true);
    scroll_->setCascadeOpacityEnabled(true);
    scroll_->getInnerContainer()->setCascadeOpacityEnabled(true);
    addChild(scroll_, 0);

    // Touches on the panel stay with the menu; the rest of the layer lets them through to the
    // dimmed background, which closes the menu.
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* touch, engine::Event*) {
        return touchOnPanel(touch->getLocation());
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(listener, this);
    return true;
}

float MenuLayer::preferredWidth(int displayClass) const {
    return displayClass == 0 ? 300.f : 380.f;
}

void MenuLayer::setMetrics(const MenuMetrics& metrics) {
    metrics_ = metrics;
    // The rows are built again; the ring must not stay behind in an old one.
    focusRing_.detach();
    focusRow_ = focusItem_ = -1;
    for (RowView& view : rows_) {
        if (view.node)
            view.node->removeFromParentAndCleanup(true);
        view.node = nullptr;
        buildRow(view);
    }
    refreshPending_ = true;
    layout();
}

void MenuLayer::setContentSize(const Size& size) {
    Layer::setContentSize(size);
    layout();
}

int MenuLayer::addRow(MenuRow row) {
    RowView view;
    view.row = std::move(row);
    rows_.push_back(std::move(view));
    buildRow(rows_.back());
    refreshPending_ = true;
    layout();
    return static_cast<int>(rows_.size()) - 1;
}

// Building ---------------------------------------------------------------------------------

Button* MenuLayer::makeButton(const std::string& title) {
    auto* button =
        Button::create("ButtonUnselected.png", "ButtonSelected.png", "ButtonDisabled.png");
    if (!button)
        return nullptr;
    button->setScale9Enabled(true);
    button->setCapInsets(Rect(10, 10, 100, 20));
    button->setTitleFontName(kBoldFont);
    button->setTitleFontSize(std::round(metrics_.fontSize * 0.75f));
    button->setTitleText(title);
    button->setCascadeOpacityEnabled(true);
    return button;
}

void MenuLayer::connect(Button* button, int rowIndex, int item) {
    button->addTouchEventListener(
        [this, rowIndex, item](engine::Ref*, engine::ui::Widget::TouchEventType type) {
            if (type == engine::ui::Widget::TouchEventType::ENDED)
                buttonTapped(rowIndex, item);
        });
}

void MenuLayer::buildRow(RowView& view) {
    const int rowIndex = static_cast<int>(&view - rows_.data());
    const MenuRow& row = view.row;
    view.node = engine::Node::create();
    view.node->setCascadeOpacityEnabled(true);
    scroll_->addChild(view.node);
    view.buttons.clear();
    view.caption = nullptr;
    view.slider = nullptr;
    view.value = nullptr;
    if (!row.caption.empty() || row.captionText) {
        const std::string caption = row.captionText ? row.captionText() : row.caption;
        view.caption = engine::Label::createWithTTF(caption, kBoldFont, metrics_.fontSize);
        if (view.caption) {
            view.caption->setAnchorPoint(Vec2(0, 0.5f));
            view.node->addChild(view.caption);
        }
    }
    auto addButton = [&](const std::string& title) {
        Button* button = makeButton(title);
        if (button) {
            connect(button, rowIndex, static_cast<int>(view.buttons.size()));
            view.node->addChild(button);
        }
        view.buttons.push_back(button);
    };
    switch (row.kind) {
        case MenuRow::Kind::kLabel:
            if (row.word) {
                view.value = engine::Label::createWithTTF("", kRegularFont, metrics_.fontSize);
                if (view.value) {
                    view.value->setAnchorPoint(Vec2(0, 0.5f));
                    view.node->addChild(view.value);
                }
            }
            break;
        case MenuRow::Kind::kButtons:
            for (const MenuRow::Item& item : row.items)
                addButton(item.title);
            break;
        case MenuRow::Kind::kChoice:
            for (const std::string& title : row.choices)
                addButton(title);
            break;
        case MenuRow::Kind::kStepper:
            addButton("<");
            addButton("");
            addButton(">");
            break;
        case MenuRow::Kind::kPicker:
            addButton("");
            break;
        case MenuRow::Kind::kSlider: {
            view.slider = engine::ui::Slider::create("LineBar-grey.png", "SliderBall.png");
            if (view.slider) {
                view.slider->loadProgressBarTexture("sliderwhite.png");
                view.slider->setScale9Enabled(true);
                view.slider->setCascadeOpacityEnabled(true);
                view.slider->setCascadeColorEnabled(true);
                view.slider->addEventListener([this, rowIndex](engine::Ref*,
                                                               engine::ui::Slider::EventType type) {
                    if (type != engine::ui::Slider::EventType::ON_PERCENTAGE_CHANGED)
                        return;
                    RowView& changed = rows_[rowIndex];
                    if (changed.row.setPercent)
                        changed.row.setPercent(static_cast<float>(changed.slider->getPercent()));
                    markForRefresh();
                });
                view.node->addChild(view.slider);
            }
            view.value = engine::Label::createWithTTF("", kRegularFont, metrics_.fontSize,
                                                      Size::ZERO, engine::TextHAlignment::RIGHT);
            if (view.value) {
                view.value->setAnchorPoint(Vec2(1, 0.5f));
                view.node->addChild(view.value);
            }
            break;
        }
    }
}

// Input ------------------------------------------------------------------------------------

void MenuLayer::buttonTapped(int rowIndex, int item) {
    // An action may close this menu; keep it until the action is done.
    retain();
    const MenuRow& row = rows_[rowIndex].row;
    switch (row.kind) {
        case MenuRow::Kind::kButtons:
            if (item < static_cast<int>(row.items.size()) && row.items[item].action)
                row.items[item].action();
            break;
        case MenuRow::Kind::kChoice:
            if (row.choose)
                row.choose(item);
            break;
        case MenuRow::Kind::kStepper:
            if (row.step)
                row.step(item - 1);
            break;
        case MenuRow::Kind::kPicker:
            if (row.open)
                row.open();
            break;
        default:
            break;
    }
    markForRefresh();
    release();
}

bool MenuLayer::touchOnPanel(const Vec2& worldPoint) const {
    for (const engine::Node* node = this; node; node = node->getParent()) {
        if (!node->isVisible())
            return false;
    }
    const Vec2 local = convertToNodeSpace(worldPoint);
    return panelRect_.containsPoint(local);
}

// Refresh and layout -----------------------------------------------------------------------

void MenuLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                      uint32_t parentFlags) {
    if (refreshPending_)
        refresh();
    Layer::visit(renderer, parentTransform, parentFlags);
}

void MenuLayer::refresh() {
    refreshPending_ = false;
    bool shownChanged = false;
    for (RowView& view : rows_) {
        const bool shown = view.row.isShown();
        shownChanged |= shown != view.shown;
        view.shown = shown;
        if (view.caption && view.row.captionText) {
            const std::string text = view.row.captionText();
            // A new caption may be wider: the rows share one caption column.
            if (text != view.caption->getString()) {
                view.caption->setString(text);
                shownChanged = true;
            }
        }
        refreshRow(view);
    }
    if (shownChanged)
        layout();
    if (focusRow_ >= 0)
        showFocus();
    onRefresh();
}

void MenuLayer::refreshRow(RowView& view) {
    const MenuRow& row = view.row;
    const bool enabled = row.isEnabled();
    auto paint = [](Button* button, bool bright, bool enabled) {
        if (!button)
            return;
        button->loadTextureNormal(bright ? "ButtonSelected.png" : "ButtonUnselected.png");
        button->setEnabled(enabled);
        button->setTitleColor(bright && enabled ? kBrightTitle : kDimTitle);
    };
    switch (row.kind) {
        case MenuRow::Kind::kLabel:
            if (view.value && row.word)
                view.value->setString(row.word());
            break;
        case MenuRow::Kind::kButtons:
            for (size_t i = 0; i < view.buttons.size(); ++i) {
                const MenuRow::Item& item = row.items[i];
                const bool on = enabled && (!item.enabled || item.enabled());
                if (view.buttons[i]) {
                    view.buttons[i]->setEnabled(on);
                    view.buttons[i]->setTitleColor(on ? kBrightTitle : kDimTitle);
                }
            }
            break;
        case MenuRow::Kind::kChoice: {
            const int selected = row.selected ? row.selected() : -1;
            for (size_t i = 0; i < view.buttons.size(); ++i)
                paint(view.buttons[i], static_cast<int>(i) == selected, enabled);
            break;
        }
        case MenuRow::Kind::kStepper:
            paint(view.buttons[0], false, enabled);
            paint(view.buttons[2], false, enabled);
            if (view.buttons[0])
                view.buttons[0]->setTitleColor(enabled ? kBrightTitle : kDimTitle);
            if (view.buttons[2])
                view.buttons[2]->setTitleColor(enabled ? kBrightTitle : kDimTitle);
            if (view.buttons[1]) {
                paint(view.buttons[1], !row.wordBright || row.wordBright(), enabled);
                view.buttons[1]->setTitleText(row.word ? row.word() : "");
            }
            break;
        case MenuRow::Kind::kPicker:
            if (view.buttons[0]) {
                view.buttons[0]->setEnabled(enabled);
                view.buttons[0]->setTitleColor(enabled ? kBrightTitle : kDimTitle);
                view.buttons[0]->setTitleText(row.word ? row.word() : "");
            }
            break;
        case MenuRow::Kind::kSlider:
            if (view.slider) {
                view.slider->setPercent(sliderPercent(row.percent ? row.percent() : 0.f));
                view.slider->setEnabled(enabled);
                // A disabled slider is drawn at a quarter of its brightness.
                view.slider->setColor(enabled ? kBrightTitle : kDisabledSlider);
            }
            if (view.value) {
                view.value->setString(row.word ? row.word() : "");
                view.value->setColor(enabled ? kBrightTitle : kDimTitle);
            }
            break;
    }
    if (view.caption)
        view.caption->setColor(enabled ? kBrightTitle : kDimTitle);
}

void MenuLayer::layout() {
    if (!scroll_)
        return;
    const MenuMetrics& m = metrics_;
    const float width = _contentSize.width;
    const float rowHeight = m.rowHeight();
    float rowsHeight = 0;
    float captionWidth = 0;
    int shownRows = 0;
    for (RowView& view : rows_) {
        view.node->setVisible(view.shown);
        if (!view.shown)
            continue;
        rowsHeight += rowHeight;
        ++shownRows;
        if (!view.caption)
            continue;
        // A two-line caption is shrunk to the row's height rather than run into its neighbours.
        const Size text = view.caption->getContentSize();
        const float fit = text.height > rowHeight ? rowHeight / text.height : 1.f;
        view.caption->setScale(fit);
        if (view.row.kind != MenuRow::Kind::kLabel)
            captionWidth = std::max(captionWidth, text.width * fit);
    }
    rowsHeight += m.rowGap * std::max(0, shownRows - 1);
    const float innerWidth = std::max(0.f, width - 2 * m.margin);
    captionWidth = std::min(captionWidth, innerWidth * 0.45f);

    const float header = headerHeight();
    const float needed =
        2 * m.margin + header + (header > 0 && shownRows ? m.rowGap : 0) + rowsHeight;
    const float panelHeight =
        _contentSize.height > 0 ? std::min(_contentSize.height, needed) : needed;
    panelRect_ = Rect(0, 0, width, panelHeight);
    if (panel_)
        panel_->setContentSize(Size(width, panelHeight));

    const float viewHeight = std::max(
        0.f, panelHeight - 2 * m.margin - header - (header > 0 && shownRows ? m.rowGap : 0));
    scroll_->setPosition(m.margin, m.margin);
    scroll_->setContentSize(Size(innerWidth, viewHeight));
    scroll_->setInnerContainerSize(Size(innerWidth, std::max(viewHeight, rowsHeight)));
    float top = std::max(viewHeight, rowsHeight);
    for (RowView& view : rows_) {
        if (!view.shown)
            continue;
        top -= rowHeight;
        view.node->setPosition(0, top);
        layoutRow(view, innerWidth, captionWidth);
        top -= m.rowGap;
    }
    scroll_->jumpToTop();
    if (header > 0)
        layoutHeader(Rect(m.margin, panelHeight - m.margin - header, innerWidth, header));
}

void MenuLayer::layoutRow(RowView& view, float width, float captionWidth) {
    const MenuMetrics& m = metrics_;
    const float h = m.rowHeight();
    const float gap = 2 * m.inset;
    if (view.caption)
        view.caption->setPosition(0, h * 0.5f);
    const bool hasCaption = view.caption && view.row.kind != MenuRow::Kind::kLabel;
    const float x0 = hasCaption ? captionWidth + gap : 0.f;
    const float areaWidth = std::max(0.f, width - x0);
    auto place = [h](Button* button, float x, float w) {
        if (!button)
            return;
        button->setContentSize(Size(std::max(w, 1.f), h));
        button->setPosition(x + w * 0.5f, h * 0.5f);
    };
    switch (view.row.kind) {
        case MenuRow::Kind::kLabel:
            if (view.value) {
                const float x =
                    view.caption ? view.caption->getBoundingBox().size.width + gap : 0.f;
                view.value->setPosition(x, h * 0.5f);
            }
            break;
        case MenuRow::Kind::kButtons:
        case MenuRow::Kind::kChoice:
        case MenuRow::Kind::kPicker: {
            const int n = static_cast<int>(view.buttons.size());
            if (n == 0)
                break;
            const float w = (areaWidth - gap * (n - 1)) / n;
            for (int i = 0; i < n; ++i)
                place(view.buttons[i], x0 + i * (w + gap), w);
            break;
        }
        case MenuRow::Kind::kStepper: {
            const float arrow = h * 1.25f;
            place(view.buttons[0], x0, arrow);
            place(view.buttons[1], x0 + arrow + gap, areaWidth - 2 * (arrow + gap));
            place(view.buttons[2], x0 + areaWidth - arrow, arrow);
            break;
        }
        case MenuRow::Kind::kSlider: {
            const float valueWidth = m.fontSize * 3.5f;
            if (view.slider) {
                const float w = std::max(1.f, areaWidth - valueWidth - gap);
                view.slider->setContentSize(Size(w, m.fontSize * 0.5f));
                view.slider->setPosition(x0 + w * 0.5f, h * 0.5f);
            }
            if (view.value)
                view.value->setPosition(x0 + areaWidth, h * 0.5f);
            break;
        }
    }
}

// Controls ---------------------------------------------------------------------------------

Button* MenuLayer::getButton(int row, int index) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return nullptr;
    const auto& buttons = rows_[row].buttons;
    return index >= 0 && index < static_cast<int>(buttons.size()) ? buttons[index] : nullptr;
}

engine::ui::Slider* MenuLayer::getSlider(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].slider : nullptr;
}

engine::Label* MenuLayer::getValueLabel(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].value : nullptr;
}

engine::Label* MenuLayer::getCaptionLabel(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].caption : nullptr;
}

engine::Node* MenuLayer::getRowNode(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].node : nullptr;
}
