// Power mode on hardware without a power meter: the notice, and the way to a demonstration that
// has one, by mouse and by key.
#include <gtest/gtest.h>

#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "engine/ui/Button.h"
#include "tests/power/PowerTestSupport.h"
#include "tests/support/FakeAccessoryControl.h"
#include "views/power/PowerMeterNoticeLayer.h"

namespace {

using namespace powertest;

class PowerMeterNoticeTest : public PowerLayerTestBase {
  protected:
    void SetUp() override {
        PowerLayerTestBase::SetUp();
        model->common_settings.spectrumMode = 0;
        model->demo.hardware = 2;
        model->accessory.hasPowerMeter = false;
        layer = PowerMeterNoticeLayer::createWithModel(model.get(), &control);
        ASSERT_NE(layer, nullptr);
        layer->setContentSize(engine::Size(kWidth, kHeight));
        scene->addChild(layer);
        step(1);
    }
    void pressP() {
        engine::EventKeyboard event(engine::EventKeyboard::KeyCode::KEY_P, true);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&event);
    }

    FakeAccessoryControl control;
    PowerMeterNoticeLayer* layer = nullptr;
};

}  // namespace

TEST_F(PowerMeterNoticeTest, TheDemonstrationWithoutAPowerMeterSaysSoAndOffersOneThatHasIt) {
    EXPECT_TRUE(layer->getNotice()->isVisible());
    EXPECT_EQ(layer->getNotice()->getString(), "The Tarno Duo demonstration has no power meter.");
    ASSERT_TRUE(layer->getSwitchButton()->isVisible());
    const engine::Image image = renderFrame();
    EXPECT_GT(countLit(image, 0, kHeight / 2, kWidth, kHeight), 100);  // the words
    EXPECT_TRUE(image.saveToFile("power-meter-notice.png"));
    const engine::Vec2 at = layer->getSwitchButton()->getPosition();
    tap(at.x, at.y);
    step(1);
    EXPECT_EQ(model->demo.hardware, PowerMeterNoticeLayer::kOfferedHardware);
    EXPECT_EQ(control.playbackRestarts, 1);
    // The new demonstration has a power meter: nothing more to say.
    model->accessory.hasPowerMeter = true;
    step(1);
    EXPECT_FALSE(layer->getNotice()->isVisible());
    EXPECT_FALSE(layer->getSwitchButton()->isVisible());
    pressP();
    EXPECT_EQ(control.playbackRestarts, 1);
}

TEST_F(PowerMeterNoticeTest, ThePKeySwitchesToo) {
    pressP();
    EXPECT_EQ(model->demo.hardware, PowerMeterNoticeLayer::kOfferedHardware);
    EXPECT_EQ(control.playbackRestarts, 1);
    // Until the new demonstration's description arrives the old one says "no power meter";
    // the notice does not claim that of a model that has one.
    step(1);
    EXPECT_FALSE(layer->getNotice()->isVisible());
}

TEST_F(PowerMeterNoticeTest, AnAccessoryWithoutAPowerMeterIsNamedButNotSwitched) {
    model->runtime.deviceConnected = true;
    step(1);
    EXPECT_EQ(layer->getNotice()->getString(), "This accessory has no power meter.");
    EXPECT_FALSE(layer->getSwitchButton()->isVisible());
    pressP();
    EXPECT_EQ(control.playbackRestarts, 0);
    EXPECT_EQ(model->demo.hardware, 2);
    // Before discovery nothing is known yet: no notice.
    control.isIdentified = false;
    step(1);
    EXPECT_FALSE(layer->getNotice()->isVisible());
}
