#include "menus/AlertViewLayer.h"

#include <vector>

#include "engine/2d/LayerColor.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "menus/AlertViewDelegate.h"
#include "tests/app/AppTestSupport.h"

using namespace apptest;

namespace {

struct RecordingDelegate : AlertViewDelegate {
    std::vector<int> pressed;
    AlertViewLayer* alert = nullptr;
    bool hadParent = false;
    void alertViewButtonPressed(AlertViewLayer* a, int index) override {
        alert = a;
        hadParent = a->getParent() != nullptr;
        pressed.push_back(index);
    }
};

class AlertViewLayerTest : public AppGlTest {
  protected:
    // A full-screen layer under the alert that counts the touches reaching it.
    void addBackground() {
        auto* background = engine::LayerColor::create(engine::Color4B(0, 0, 80, 255));
        auto* listener = engine::EventListenerTouchOneByOne::create();
        listener->onTouchBegan = [this](engine::Touch*, engine::Event*) {
            ++touchesBehind;
            return true;
        };
        background->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener,
                                                                                 background);
        scene->addChild(background, 0);
    }
    int touchesBehind = 0;
    RecordingDelegate delegate;
};

TEST_F(AlertViewLayerTest, SwallowsTouchesAndDimsTheScreen) {
    addBackground();
    auto* alert = AlertViewLayer::create({"OK", "Cancel"}, "Title", "Message", "", &delegate);
    ASSERT_NE(alert, nullptr);
    scene->addChild(alert, 90);
    engine::Image image = renderFrame();
    image.saveToFile("alert-view.png");  // for a person to look at
    // Outside the box the blue background shows through black at alpha 127.
    Rgb dimmed = pixelAt(image, 20, 20);
    EXPECT_NEAR(dimmed.b, 40, 2) << dimmed;
    tap(20, 20);
    tap(480, 320);  // on the box, off the buttons
    EXPECT_EQ(touchesBehind, 0);
    EXPECT_TRUE(delegate.pressed.empty());
    EXPECT_EQ(alert->getParent(), scene);
}

TEST_F(AlertViewLayerTest, ButtonTellsItsIndexThenTheAlertLeaves) {
    addBackground();
    auto* alert = AlertViewLayer::create({"OK", "Cancel"}, "Title", "Message", "more", &delegate);
    scene->addChild(alert, 90);
    renderFrame();
    ASSERT_EQ(alert->getButtons().size(), 2u);
    EXPECT_EQ(alert->getButtons()[1]->getTag(), 1);
    const engine::Vec2 centre = alert->getButtons()[1]->getPosition();
    alert->retain();
    tap(centre.x, centre.y);
    ASSERT_EQ(delegate.pressed, std::vector<int>{1});
    EXPECT_EQ(delegate.alert, alert);
    EXPECT_TRUE(delegate.hadParent);  // told before it leaves
    EXPECT_EQ(alert->getParent(), nullptr);
    EXPECT_EQ(alert->getDetail(), "more");
    alert->release();
    // With the alert gone, touches reach the scene again.
    tap(20, 20);
    EXPECT_EQ(touchesBehind, 1);
}

TEST_F(AlertViewLayerTest, WithoutDelegateAnyButtonDismisses) {
    auto* alert = AlertViewLayer::create({"OK"}, "Title", "Message");
    scene->addChild(alert, 90);
    renderFrame();
    ASSERT_EQ(alert->getButtons().size(), 1u);
    const engine::Vec2 centre = alert->getButtons()[0]->getPosition();
    tap(centre.x, centre.y);
    EXPECT_EQ(scene->getChildrenCount(), 0u);
}

}  // namespace
