#include "views/power/PowerMeterNoticeLayer.h"

#include <new>

#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/ui/Button.h"
#include "instrument/Instrument.h"
#include "model/AccessoryControl.h"
#include "model/SpectrumSettings.h"

using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const char* const kBoldFont = "fonts/roboto/Roboto-Bold.ttf";

}  // namespace

PowerMeterNoticeLayer::PowerMeterNoticeLayer(Instrument* instrument)
    : instrument_(instrument), model_(instrument ? &instrument->model() : nullptr) {}

PowerMeterNoticeLayer::~PowerMeterNoticeLayer() = default;

PowerMeterNoticeLayer* PowerMeterNoticeLayer::createWithModel(SpectrumSettings* model,
                                                              AccessoryControl* control) {
    if (!model) {
        return nullptr;
    }
    auto own = std::make_unique<Instrument>(*model, control);
    PowerMeterNoticeLayer* layer = createWithInstrument(own.get());
    if (layer) {
        layer->ownInstrument_ = std::move(own);
    }
    return layer;
}

PowerMeterNoticeLayer* PowerMeterNoticeLayer::createWithInstrument(Instrument* instrument) {
    auto* layer = new (std::nothrow) PowerMeterNoticeLayer(instrument);
    if (layer && layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

std::string PowerMeterNoticeLayer::noticeText(const SpectrumSettings& model, bool identified) {
    if (!identified || model.accessory.hasPowerMeter) {
        return "";
    }
    if (model.runtime.deviceConnected) {
        return "This accessory has no power meter.";
    }
    // The description of a newly chosen demonstration has not arrived yet.
    if (model.demo.hardware == 0 || model.demo.hardware == kOfferedHardware) {
        return "";
    }
    return std::string("The ") + SpectrumSettings::demoHardwareLabel(model.demo.hardware) +
           " demonstration has no power meter.";
}

bool PowerMeterNoticeLayer::offersDemonstration(const SpectrumSettings& model, bool identified) {
    return !noticeText(model, identified).empty() && !model.runtime.deviceConnected;
}

bool PowerMeterNoticeLayer::init() {
    if (!Layer::init() || !model_) {
        return false;
    }
    const float fontSize = model_->runtime.displayClass == 0 ? 16.f : 20.f;
    notice_ = engine::Label::createWithTTF(" ", kFont, fontSize);
    if (notice_) {
        notice_->setAnchorPoint(Vec2(0.5f, 0.5f));
        addChild(notice_);
    }
    button_ = engine::ui::Button::create("ButtonUnselected.png", "ButtonSelected.png");
    if (button_) {
        button_->setScale9Enabled(true);
        button_->setCapInsets(engine::Rect(10, 10, 100, 20));
        button_->setTitleFontName(kBoldFont);
        button_->setTitleFontSize(fontSize * 0.8f);
        button_->setTitleText(std::string("SHOW THE ") +
                              SpectrumSettings::demoHardwareLabel(kOfferedHardware) +
                              " DEMONSTRATION (P)");
        button_->setContentSize(engine::Size(fontSize * 19.f, fontSize * 2.4f));
        button_->addTouchEventListener([this](engine::Ref*, engine::ui::Widget::TouchEventType t) {
            if (t == engine::ui::Widget::TouchEventType::ENDED) {
                switchDemonstration();
            }
        });
        addChild(button_);
    }
    auto* keys = engine::EventListenerKeyboard::create();
    keys->onKeyPressed = [this](engine::EventKeyboard::KeyCode code, engine::Event* event) {
        if (code == engine::EventKeyboard::KeyCode::KEY_P && button_ && button_->isVisible()) {
            switchDemonstration();
            event->stopPropagation();
        }
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(keys, this);
    refresh();
    scheduleUpdate();
    return true;
}

void PowerMeterNoticeLayer::update(float) {
    refresh();
}

void PowerMeterNoticeLayer::refresh() {
    const AccessoryControl* control = instrument_->accessoryControl();
    const bool identified = control && control->identified();
    const std::string text = noticeText(*model_, identified);
    const bool offer = offersDemonstration(*model_, identified);
    const Vec2 middle(_contentSize.width * 0.5f, _contentSize.height * 0.5f);
    if (notice_) {
        if (text != shown_) {
            notice_->setString(text.empty() ? std::string(" ") : text);
            shown_ = text;
        }
        notice_->setVisible(!text.empty());
        notice_->setPosition(middle + Vec2(0.f, offer ? notice_->getContentSize().height : 0.f));
    }
    if (button_) {
        button_->setVisible(offer);
        button_->setEnabled(offer);
        button_->setPosition(middle - Vec2(0.f, button_->getContentSize().height * 0.6f));
    }
}

void PowerMeterNoticeLayer::switchDemonstration() {
    if (model_->runtime.deviceConnected || model_->demo.hardware == kOfferedHardware) {
        return;
    }
    // Playback starts again from the new model's discovery reply, as the demo menu does it.
    instrument_->setDemoHardware(kOfferedHardware);
}
