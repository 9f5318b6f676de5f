// Renders one frame with every widget in it and saves it as a PNG for a person to look at
// (ui-gallery.png in the test's build folder).
#include <algorithm>
#include <cmath>
#include <string>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/ui/Button.h"
#include "engine/ui/ImageView.h"
#include "engine/ui/Layout.h"
#include "engine/ui/LoadingBar.h"
#include "engine/ui/Scale9Sprite.h"
#include "engine/ui/Slider.h"
#include "engine/ui/TableView.h"
#include "engine/ui/TableViewCell.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/Text.h"
#include "tests/engine-ui/UiTestSupport.h"

using namespace engine;
using namespace engine::ui;
using namespace uitest;

namespace {

const char* const kRegular = "fonts/roboto/Roboto-Regular.ttf";
const char* const kBold = "fonts/roboto/Roboto-Bold.ttf";

// Coverage of a rounded rectangle of w x h with corner radius r at pixel (x, y).
float roundedCoverage(int x, int y, int w, int h, float r) {
    float px = x + 0.5f, py = y + 0.5f;
    float cx = std::clamp(px, r, w - r), cy = std::clamp(py, r, h - r);
    float d = std::hypot(px - cx, py - cy);
    return std::clamp(r - d + 0.5f, 0.f, 1.f);
}

std::string roundedPng(const std::string& name, int w, int h, float r, Rgb fill, Rgb border) {
    return writeRgbaPng(name, w, h, [=](int x, int y, uint8_t rgba[4]) {
        float outer = roundedCoverage(x, y, w, h, r);
        bool edge = roundedCoverage(x - 2, y - 2, w - 4, h - 4, std::max(r - 2, 1.f)) < 0.5f ||
                    x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
        Rgb c = edge ? border : fill;
        rgba[0] = c.r;
        rgba[1] = c.g;
        rgba[2] = c.b;
        rgba[3] = static_cast<uint8_t>(outer * 255);
    });
}

// A label tag: pointed at the left, rounded at the right.
std::string tagPng() {
    const int w = 70, h = 20;
    return writeRgbaPng("tag.png", w, h, [=](int x, int y, uint8_t rgba[4]) {
        float half = h / 2.f;
        float point = 13;  // the pointed part is 13 px long
        float inside = x < point ? half * (x + 0.5f) / point - std::abs(y + 0.5f - half) + 0.5f
                                 : roundedCoverage(x - 6, y, w - 6, h, 4);
        rgba[0] = rgba[1] = rgba[2] = 255;
        rgba[3] = static_cast<uint8_t>(std::clamp(inside, 0.f, 1.f) * 255);
    });
}

class GalleryRows : public TableViewDataSource {
  public:
    Size cellSizeForTable(TableView* table) override {
        return Size(table->getContentSize().width, 22);
    }
    TableViewCell* tableCellAtIndex(TableView* table, ssize_t idx) override {
        TableViewCell* cell = table->dequeueCell();
        if (!cell) {
            cell = TableViewCell::create();
            cell->addChild(LayerColor::create(Color4B(40, 40, 48, 255), 150, 21), 0, 1);
            auto* name = Text::create("", kRegular, 12);
            name->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
            name->setPosition(Vec2(6, 11));
            cell->addChild(name, 1, 2);
            auto* level = LoadingBar::create(bar, 0);
            level->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
            level->setPosition(Vec2(84, 11));
            cell->addChild(level, 1, 3);
        }
        cell->getChildByTag(1)->setColor(idx % 2 ? Color3B(40, 40, 48) : Color3B(55, 55, 66));
        static_cast<Text*>(cell->getChildByTag(2))->setString("SSID " + std::to_string(idx));
        // Level bars as the access-point table colours them, from -30 dBm down.
        float rssi = -30.f - 6.f * static_cast<float>(idx);
        auto* level = static_cast<LoadingBar*>(cell->getChildByTag(3));
        if (rssi <= -90) {
            level->setPercent(10);
            level->setColor(Color3B(255, 0, 0));
        } else if (rssi <= -60) {
            level->setPercent((0.1f + (rssi + 90) / 75) * 100);
            level->setColor(Color3B(255, static_cast<uint8_t>((rssi + 90) / 30 * 255), 0));
        } else if (rssi < -30) {
            level->setPercent((0.5f + (rssi + 60) / 60) * 100);
            level->setColor(Color3B(static_cast<uint8_t>((1 - (rssi + 60) / 30) * 255), 255, 0));
        } else {
            level->setPercent(100);
            level->setColor(Color3B(0, 255, 0));
        }
        return cell;
    }
    ssize_t numberOfCellsInTableView(TableView*) override { return 14; }

    std::string bar;
};

class GalleryTest : public UiTest {};

TEST_F(GalleryTest, EveryWidgetInOneFrame) {
    std::string buttonUp = roundedPng("g-up.png", 40, 30, 8, {70, 70, 80}, {150, 150, 160});
    std::string buttonDown = roundedPng("g-down.png", 40, 30, 8, {40, 110, 200}, {140, 190, 255});
    std::string buttonOff = roundedPng("g-off.png", 40, 30, 8, {45, 45, 50}, {80, 80, 85});
    std::string panel = roundedPng("g-panel.png", 40, 40, 10, {24, 24, 28}, {90, 90, 100});
    std::string track = roundedPng("g-track.png", 40, 8, 4, {90, 90, 90}, {120, 120, 120});
    std::string fill = roundedPng("g-fill.png", 40, 8, 4, {0, 200, 120}, {0, 230, 150});
    std::string ball = roundedPng("g-ball.png", 16, 16, 8, {240, 240, 240}, {255, 255, 255});
    std::string white = roundedPng("g-level.png", 60, 8, 3, {255, 255, 255}, {255, 255, 255});

    auto* background = Layout::create();
    background->setContentSize(Size(kWidth, kHeight));
    background->setBackGroundImage(panel);
    background->setBackGroundImageScale9Enabled(true);
    scene->addChild(background);

    auto* title = Text::create("Widget gallery", kBold, 16);
    ASSERT_NE(title, nullptr);
    title->setAnchorPoint(Vec2::ANCHOR_TOP_LEFT);
    title->setPosition(Vec2(12, kHeight - 8));
    background->addChild(title);

    auto makeButton = [&](const std::string& text, float x, float y) {
        auto* button = Button::create(buttonUp, buttonDown, buttonOff);
        button->setScale9Enabled(true);
        button->setCapInsets(Rect(10, 10, 20, 10));
        button->setContentSize(Size(64, 28));
        button->setTitleFontName(kBold);
        button->setTitleFontSize(24);  // twice the size, drawn at half: crisp when zoomed
        button->setTitleText(text);
        button->getTitleRenderer()->setScale(0.5f);
        button->setPosition(Vec2(x, y));
        background->addChild(button);
        return button;
    };
    makeButton("SAVE", 44, 190);
    Button* pressed = makeButton("LOAD", 114, 190);
    pressed->setPressedActionEnabled(true);
    pressed->setHighlighted(true);
    makeButton("STOP", 44, 156)->setEnabled(false);
    Button* dim = makeButton("DOTS", 114, 156);
    dim->setBright(false);
    dim->setTitleColor(Color3B(127, 127, 127));

    auto makeSlider = [&](int percent, float y) {
        auto* slider = Slider::create();
        slider->loadBarTexture(track);
        slider->loadProgressBarTexture(fill);
        slider->loadSlidBallTextures(ball);
        slider->setScale9Enabled(true);
        slider->setCapInsets(Rect(4, 2, 32, 4));
        slider->setContentSize(Size(130, 8));
        slider->setPercent(percent);
        slider->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        slider->setPosition(Vec2(14, y));
        background->addChild(slider);
        return slider;
    };
    makeSlider(40, 124);
    makeSlider(75, 104)->setColor(Color3B(64, 64, 64));

    const float levels[] = {10, 30, 60, 100};
    const Color3B colours[] = {{255, 0, 0}, {255, 127, 0}, {200, 255, 0}, {0, 255, 0}};
    for (int i = 0; i < 4; ++i) {
        auto* bar = LoadingBar::create(white, levels[i]);
        bar->setColor(colours[i]);
        bar->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        bar->setPosition(Vec2(14, 84 - 12 * i));
        background->addChild(bar);
    }

    std::string tag = tagPng();
    const char* tagTexts[] = {"RF", "REF: RF"};
    for (int i = 0; i < 2; ++i) {
        auto* label = Scale9Sprite::create(tag);
        label->setInsetFractions(0.1857f, 0.0571f, 0.3f, 0.3f);
        label->setContentSize(Size(i == 0 ? 40 : 70, 20));
        label->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        label->setPosition(90, 70 - 26 * i);
        label->setColor(i == 0 ? Color3B(255, 220, 0) : Color3B(192, 192, 192));
        background->addChild(label);
        auto* text = Text::create(tagTexts[i], kBold, 11);
        text->setTextColor(Color4B(0, 0, 0, 255));
        text->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        text->setPosition(Vec2(90 + 9, 70 - 26 * i));
        background->addChild(text);
    }
    auto* icon = ImageView::create(ball);
    icon->setPosition(Vec2(30, 20));
    background->addChild(icon);

    GalleryRows rows;
    rows.bar = white;
    TableView* table = TableView::create(&rows, Size(150, 200));
    table->setPosition(160, 16);
    background->addChild(table);
    table->reloadData();
    table->setContentOffset(Vec2(0, table->minContainerOffset().y + 11));

    Image image = renderFrame();
    ASSERT_TRUE(image.saveToFile(UI_GALLERY_PATH));
    Image reread;
    ASSERT_TRUE(reread.initWithImageFile(UI_GALLERY_PATH));
    EXPECT_EQ(reread.getWidth(), kWidth);
    // The loading bars and the dimmed slider are where they were put, in their colours.
    EXPECT_EQ(pixelAt(image, 16, 84), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixelAt(image, 60, 48), (Rgb{0, 255, 0}));
    EXPECT_EQ(pixelAt(image, 60, 104), (Rgb{0, 200 * 64 / 255, 120 * 64 / 255}));
}

}  // namespace
