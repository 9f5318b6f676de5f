// Touches delivered through the window to buttons and sliders: callback order, hit areas,
// disabled widgets, clipping and widgets that remove themselves.
#include <functional>
#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/ui/Button.h"
#include "engine/ui/Layout.h"
#include "engine/ui/Slider.h"
#include "tests/engine-ui/UiTestSupport.h"

using namespace engine;
using namespace engine::ui;
using namespace uitest;

namespace {

using Type = Widget::TouchEventType;

// Owns buttons the way a menu does: one member function handles every button's touches.
class ButtonOwner {
  public:
    void onButton(Ref* sender, Type type) {
        senders.push_back(sender);
        types.push_back(type);
    }
    std::vector<Ref*> senders;
    std::vector<Type> types;
};

class TouchTest : public UiTest {
  protected:
    Button* makeButton(const std::string& name, Vec2 centre) {
        auto* button = Button::create(writeSolidPng(name + ".png", 40, 20, kGreen));
        EXPECT_NE(button, nullptr);
        button->setPosition(centre);
        button->addTouchEventListener(std::bind(&ButtonOwner::onButton, &owner,
                                                std::placeholders::_1, std::placeholders::_2));
        return button;
    }
    // A full-screen layer underneath that records whether a touch reached it.
    Layer* addCatcher() {
        auto* layer = Layer::create();
        auto* listener = EventListenerTouchOneByOne::create();
        listener->onTouchBegan = [this](Touch*, Event*) {
            ++caught;
            return true;
        };
        layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, layer);
        scene->addChild(layer, -10);
        return layer;
    }
    ButtonOwner owner;
    int caught = 0;
};

TEST_F(TouchTest, ButtonCallbacksFireInOrderAndEndInsideIsEnded) {
    Button* button = makeButton("order", Vec2(100, 100));  // 80..120 x 90..110
    button->setTag(7);
    scene->addChild(button);
    addCatcher();

    touchBegan(0, 100, 100);
    EXPECT_TRUE(button->isHighlighted());
    touchMoved(0, 105, 102);
    touchMoved(0, 110, 104);
    touchEnded(0, 110, 104);
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(owner.types, (std::vector<Type>{Type::BEGAN, Type::MOVED, Type::MOVED, Type::ENDED}));
    ASSERT_EQ(owner.senders.size(), 4u);
    EXPECT_EQ(static_cast<Button*>(owner.senders[0])->getTag(), 7);
    // The button swallowed the touch.
    EXPECT_EQ(caught, 0);
}

TEST_F(TouchTest, LeavingTheButtonUnhighlightsAndLiftingOutsideCancels) {
    Button* button = makeButton("leave", Vec2(100, 100));
    scene->addChild(button);
    touchBegan(0, 100, 100);
    touchMoved(0, 150, 100);
    EXPECT_FALSE(button->isHighlighted());
    touchMoved(0, 110, 100);
    EXPECT_TRUE(button->isHighlighted());
    touchMoved(0, 150, 100);
    touchEnded(0, 150, 100);
    EXPECT_EQ(owner.types, (std::vector<Type>{Type::BEGAN, Type::MOVED, Type::MOVED, Type::MOVED,
                                              Type::CANCELED}));

    owner.types.clear();
    touchBegan(1, 100, 100);
    touchCancelled(1, 100, 100);
    EXPECT_EQ(owner.types, (std::vector<Type>{Type::BEGAN, Type::CANCELED}));
    EXPECT_FALSE(button->isHighlighted());
}

TEST_F(TouchTest, TouchesOutsideOrOnDisabledButtonsPassThrough) {
    Button* button = makeButton("disabled", Vec2(100, 100));
    scene->addChild(button);
    addCatcher();

    tap(79, 100);  // one point left of the button
    tap(100, 111);
    EXPECT_TRUE(owner.types.empty());
    EXPECT_EQ(caught, 2);

    button->setEnabled(false);
    tap(100, 100);
    EXPECT_TRUE(owner.types.empty());
    EXPECT_EQ(caught, 3);

    // Dimmed but enabled still works; so does a re-enabled one.
    button->setEnabled(true);
    button->setBright(false);
    tap(100, 100);
    EXPECT_EQ(owner.types, (std::vector<Type>{Type::BEGAN, Type::ENDED}));

    // A disabled parent widget disables its children too; so does an invisible one.
    owner.types.clear();
    auto* panel = Layout::create();
    panel->setContentSize(Size(kWidth, kHeight));
    scene->addChild(panel);
    Button* inner = makeButton("inner", Vec2(200, 100));
    panel->addChild(inner);
    panel->setEnabled(false);
    tap(200, 100);
    panel->setEnabled(true);
    panel->setVisible(false);
    tap(200, 100);
    EXPECT_TRUE(owner.types.empty());
    panel->setVisible(true);
    tap(200, 100);
    EXPECT_EQ(owner.types.size(), 2u);
}

TEST_F(TouchTest, TouchesOutsideAClippingParentDoNotReachItsButtons) {
    auto* clip = Layout::create();
    clip->setClippingEnabled(true);
    clip->setContentSize(Size(100, 100));
    clip->setPosition(0, 0);
    scene->addChild(clip);
    Button* button = makeButton("clipped", Vec2(100, 50));  // half outside: 80..120
    clip->addChild(button);
    tap(110, 50);
    EXPECT_TRUE(owner.types.empty());
    tap(90, 50);
    EXPECT_EQ(owner.types.size(), 2u);
}

TEST_F(TouchTest, TopButtonTakesTheTouchWhenButtonsOverlap) {
    Button* below = makeButton("below", Vec2(100, 100));
    Button* above = makeButton("above", Vec2(110, 100));
    scene->addChild(below);
    scene->addChild(above);
    tap(105, 100);
    ASSERT_EQ(owner.senders.size(), 2u);
    EXPECT_EQ(owner.senders[0], above);
}

TEST_F(TouchTest, ButtonMayRemoveItselfFromItsEndedCallback) {
    auto* button = Button::create(writeSolidPng("self.png", 40, 20, kGreen));
    button->setPosition(100, 100);
    scene->addChild(button);
    int ended = 0;
    button->addTouchEventListener([&ended](Ref* sender, Type type) {
        if (type == Type::ENDED) {
            ++ended;
            static_cast<Node*>(sender)->removeFromParent();
        }
    });
    tap(100, 100);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(scene->getChildrenCount(), 0u);
    step(1);
    tap(100, 100);
    EXPECT_EQ(ended, 1);
}

TEST_F(TouchTest, ButtonAddedAgainAfterRemovalStillTakesTouches) {
    Button* button = makeButton("again", Vec2(100, 100));
    button->retain();
    scene->addChild(button);
    button->removeFromParent();
    scene->addChild(button);
    button->release();
    tap(100, 100);
    EXPECT_EQ(owner.types.size(), 2u);
}

TEST_F(TouchTest, SliderDragReportsPercentagesAlongTheBar) {
    auto* slider = Slider::create(writeSolidPng("drag-bar.png", 200, 10, kWhite),
                                  writeSolidPng("drag-ball.png", 10, 20, kBlue));
    ASSERT_NE(slider, nullptr);
    slider->setAnchorPoint(Vec2::ZERO);
    slider->setPosition(50, 100);  // bar 50..250 x 100..110
    scene->addChild(slider);
    std::vector<std::string> events;
    slider->addEventListener([&events](Ref* sender, Slider::EventType type) {
        auto* s = static_cast<Slider*>(sender);
        switch (type) {
            case Slider::EventType::ON_PERCENTAGE_CHANGED:
                events.push_back(std::to_string(s->getPercent()));
                break;
            case Slider::EventType::ON_SLIDEBALL_DOWN:
                events.push_back("down");
                break;
            case Slider::EventType::ON_SLIDEBALL_UP:
                events.push_back("up");
                break;
            case Slider::EventType::ON_SLIDEBALL_CANCEL:
                events.push_back("cancel");
                break;
        }
    });

    touchBegan(0, 100, 105);     // 25 %
    touchMoved(0, 150, 120);     // 50 %, above the bar: the finger still owns the ball
    touchMoved(0, 150.4f, 120);  // still 50 %: nothing to report
    touchMoved(0, 400, 90);      // past the end
    touchMoved(0, 10, 90);       // past the start
    touchMoved(0, 88, 100);      // 19 %
    touchEnded(0, 88, 100);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "25", "50", "100", "0", "19", "up"}));
    EXPECT_EQ(slider->getPercent(), 19);

    // The ball sticks out above the bar and takes touches there too.
    events.clear();
    touchBegan(0, 88, 113);
    touchCancelled(0, 88, 113);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "cancel"}));

    // A disabled slider ignores touches.
    events.clear();
    slider->setEnabled(false);
    tap(200, 105);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(slider->getPercent(), 19);
}

TEST_F(TouchTest, SliderMaxPercentAndClampingOfSetPercent) {
    auto* slider = Slider::create(writeSolidPng("max-bar.png", 100, 10, kWhite),
                                  writeSolidPng("max-ball.png", 10, 10, kBlue));
    slider->setAnchorPoint(Vec2::ZERO);
    scene->addChild(slider);
    slider->setPercent(140);
    EXPECT_EQ(slider->getPercent(), 100);
    slider->setPercent(-3);
    EXPECT_EQ(slider->getPercent(), 0);
    slider->setMaxPercent(10);
    tap(50, 5);
    EXPECT_EQ(slider->getPercent(), 5);
}

}  // namespace
