// Touch and key dispatch: order by what is drawn on top, claiming, swallowing, the modal that
// owns input, the SDL mouse and finger events turned into touches and the wheel into scrolls.
#include <SDL2/SDL.h>

#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerMouse.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/platform/GLView.h"
#include "tests/engine/EngineTestSupport.h"

using namespace engine;
using namespace enginetest;

namespace {

// A layer that records the touch phases it sees, claiming touches inside its rectangle.
class RecordingLayer : public Layer {
  public:
    static RecordingLayer* create(const std::string& name, std::vector<std::string>* log,
                                  bool swallow) {
        auto* layer = new RecordingLayer();
        layer->init();
        layer->_log = log;
        layer->setName(name);
        layer->listener = EventListenerTouchOneByOne::create();
        layer->listener->setSwallowTouches(swallow);
        layer->listener->onTouchBegan = [layer](Touch* touch, Event*) {
            Vec2 p = layer->convertTouchToNodeSpace(touch);
            bool inside = Rect(Vec2::ZERO, layer->getContentSize()).containsPoint(p);
            layer->record("began", touch);
            return inside && layer->claim;
        };
        layer->listener->onTouchMoved = [layer](Touch* t, Event*) { layer->record("moved", t); };
        layer->listener->onTouchEnded = [layer](Touch* t, Event*) { layer->record("ended", t); };
        layer->listener->onTouchCancelled = [layer](Touch* t, Event*) {
            layer->record("cancelled", t);
        };
        layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(layer->listener, layer);
        layer->autorelease();
        return layer;
    }
    void record(const char* phase, Touch* touch) {
        _log->push_back(getName() + " " + phase + " " + std::to_string(touch->getID()));
        last = touch->getLocation();
    }

    EventListenerTouchOneByOne* listener = nullptr;
    bool claim = true;
    Vec2 last;

  private:
    std::vector<std::string>* _log = nullptr;
};

class InputTest : public EngineTest {
  protected:
    GLView* view() { return Director::getInstance()->getOpenGLView(); }
    // Window coordinates have their origin at the top-left.
    void touch(const char* phase, intptr_t id, float x, float yFromBottom) {
        float y = kHeight - yFromBottom;
        std::string p = phase;
        if (p == "began")
            view()->handleTouchesBegin(1, &id, &x, &y);
        if (p == "moved")
            view()->handleTouchesMove(1, &id, &x, &y);
        if (p == "ended")
            view()->handleTouchesEnd(1, &id, &x, &y);
        if (p == "cancelled")
            view()->handleTouchesCancel(1, &id, &x, &y);
    }
    std::vector<std::string> log;
};

TEST_F(InputTest, TopmostLayerClaimsAndSwallowsFirst) {
    auto* bottom = RecordingLayer::create("bottom", &log, true);
    auto* top = RecordingLayer::create("top", &log, true);
    bottom->setContentSize(Size(100, 100));
    top->setContentSize(Size(50, 50));
    scene->addChild(top, 1);
    scene->addChild(bottom, 0);  // added later but lower: asked second

    touch("began", 0, 20, 20);
    touch("moved", 0, 25, 22);
    touch("ended", 0, 25, 22);
    EXPECT_EQ(log, (std::vector<std::string>{"top began 0", "top moved 0", "top ended 0"}));
    EXPECT_EQ(top->last, Vec2(25, 22));

    log.clear();
    touch("began", 1, 80, 80);  // outside the top layer: it declines, the bottom one claims
    touch("ended", 1, 80, 80);
    EXPECT_EQ(log, (std::vector<std::string>{"top began 1", "bottom began 1", "bottom ended 1"}));
}

TEST_F(InputTest, NonSwallowingListenersShareATouch) {
    auto* under = RecordingLayer::create("under", &log, false);
    auto* over = RecordingLayer::create("over", &log, false);
    under->setContentSize(Size(100, 100));
    over->setContentSize(Size(100, 100));
    scene->addChild(under);
    scene->addChild(over);  // same Z, added later: drawn on top, asked first
    under->claim = true;

    touch("began", 3, 10, 10);
    touch("moved", 3, 12, 10);
    touch("cancelled", 3, 12, 10);
    EXPECT_EQ(log,
              (std::vector<std::string>{"over began 3", "under began 3", "over moved 3",
                                        "under moved 3", "over cancelled 3", "under cancelled 3"}));

    // Children are on top of their parent; negative Z children are below it.
    log.clear();
    auto* child = RecordingLayer::create("child", &log, true);
    child->setContentSize(Size(100, 100));
    auto* behind = RecordingLayer::create("behind", &log, true);
    behind->setContentSize(Size(100, 100));
    under->addChild(child);
    under->addChild(behind, -1);
    over->claim = false;
    under->claim = false;
    child->claim = false;
    behind->claim = false;
    touch("began", 4, 10, 10);
    EXPECT_EQ(log, (std::vector<std::string>{"over began 4", "child began 4", "under began 4",
                                             "behind began 4"}));
}

TEST_F(InputTest, RemovedAndDetachedListenersGetNothing) {
    auto* a = RecordingLayer::create("a", &log, true);
    a->setContentSize(Size(100, 100));
    scene->addChild(a);
    // The listener removes its own layer while handling the touch, as an alert does.
    a->listener->onTouchEnded = [a, this](Touch*, Event*) {
        log.push_back("a ended");
        a->removeFromParent();
    };
    touch("began", 0, 10, 10);
    touch("ended", 0, 10, 10);
    EXPECT_EQ(log, (std::vector<std::string>{"a began 0", "a ended"}));
    step(1);  // the layer is gone now; its listener with it
    EXPECT_EQ(Director::getInstance()->getEventDispatcher()->getListenerCount(), 0u);

    log.clear();
    auto* offstage = RecordingLayer::create("offstage", &log, true);  // never added to a scene
    offstage->setContentSize(Size(100, 100));
    offstage->retain();
    touch("began", 0, 10, 10);
    touch("ended", 0, 10, 10);
    EXPECT_TRUE(log.empty());
    offstage->release();
    EXPECT_EQ(view()->getActiveTouchCount(), 0u);
}

TEST_F(InputTest, SdlMouseAndFingersBecomeTouches) {
    auto* layer = RecordingLayer::create("layer", &log, true);
    layer->setContentSize(Size(kWidth, kHeight));
    scene->addChild(layer);

    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 30;
    e.button.y = 100;  // window y: 20 from the bottom
    view()->handleEvent(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 35;
    e.motion.y = 90;
    view()->handleEvent(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 35;
    e.button.y = 90;
    view()->handleEvent(e);
    EXPECT_EQ(log, (std::vector<std::string>{"layer began 0", "layer moved 0", "layer ended 0"}));
    EXPECT_EQ(layer->last, Vec2(35, 30));

    // Motion without a button held is no touch.
    log.clear();
    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    view()->handleEvent(e);
    EXPECT_TRUE(log.empty());

    e = SDL_Event{};
    e.type = SDL_FINGERDOWN;
    e.tfinger.fingerId = 77;
    e.tfinger.x = 0.5f;
    e.tfinger.y = 0.5f;
    view()->handleEvent(e);
    e.type = SDL_FINGERUP;
    view()->handleEvent(e);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].substr(0, 12), "layer began ");
    EXPECT_NE(log[0], "layer began 0");  // fingers never share the mouse's id
    EXPECT_EQ(layer->last, Vec2(80, 60));
    EXPECT_EQ(view()->getActiveTouchCount(), 0u);
}

TEST_F(InputTest, WheelIsAScrollAtThePointerAndNeverATouch) {
    // A claiming, swallowing layer over the whole window: a wheel turn must not reach it.
    auto* layer = RecordingLayer::create("layer", &log, true);
    layer->setContentSize(Size(kWidth, kHeight));
    scene->addChild(layer);
    struct Seen {
        Vec2 at;
        float x = 0, y = 0;
        int modifiers = 0, count = 0;
    };
    Seen first, second;
    auto scrollListener = [](Seen* seen, bool takes) {
        auto* listener = EventListenerMouse::create();
        listener->onScroll = [seen, takes](EventMouse* e) {
            seen->at = e->getLocation();
            seen->x = e->getScrollX();
            seen->y = e->getScrollY();
            seen->modifiers = e->getModifiers();
            ++seen->count;
            return takes;
        };
        return listener;
    };
    auto* below = Layer::create();
    scene->addChild(below, -1);
    below->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        scrollListener(&second, true), below);
    layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        scrollListener(&first, false), layer);

    wheel(120, 70, 2, 0, KMOD_LSHIFT);
    EXPECT_TRUE(log.empty());  // no touch began anywhere
    EXPECT_EQ(view()->getActiveTouchCount(), 0u);
    // The top listener did not use it, so the one below got it, where the pointer is.
    EXPECT_EQ(first.count, 1);
    EXPECT_EQ(second.count, 1);
    EXPECT_EQ(second.at, Vec2(120, 70));
    EXPECT_EQ(second.y, 2.f);
    EXPECT_EQ(second.x, 0.f);
    EXPECT_EQ(second.modifiers, EventKeyboard::kShift);

    // A listener that uses the notches keeps them from the ones below.
    first = {};
    second = {};
    layer->getEventDispatcher()->removeEventListenersForTarget(layer);
    layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        scrollListener(&first, true), layer);
    wheel(10, 10, 0, -1);
    EXPECT_EQ(first.count, 1);
    EXPECT_EQ(first.x, -1.f);
    EXPECT_EQ(second.count, 0);
}

TEST_F(InputTest, TheTopModalOwnsKeysTouchesAndTheWheel) {
    std::vector<std::string> keys;
    auto keyListener = [&keys](Node* node, const std::string& name, bool consume) {
        auto* listener = EventListenerKeyboard::create();
        listener->onKeyPressed = [&keys, name, consume](EventKeyboard::KeyCode, Event* e) {
            keys.push_back(name);
            if (consume)
                e->stopPropagation();
        };
        node->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
    };
    auto* views = RecordingLayer::create("views", &log, true);
    views->setContentSize(Size(kWidth, kHeight));
    scene->addChild(views, 0);
    keyListener(views, "views", false);
    auto* bar = RecordingLayer::create("bar", &log, true);
    bar->setContentSize(Size(kWidth, 40));
    scene->addChild(bar, 5);
    auto* menu = RecordingLayer::create("menu", &log, true);
    menu->setContentSize(Size(kWidth, kHeight));
    menu->setPositionY(40);
    scene->addChild(menu, 10);
    auto* row = Layer::create();
    menu->addChild(row);
    keyListener(row, "menu row", true);
    auto* fixedKeys = EventListenerKeyboard::create();
    fixedKeys->onKeyPressed = [&keys](EventKeyboard::KeyCode, Event*) { keys.push_back("fixed"); };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(fixedKeys, 1);
    EventDispatcher* dispatcher = scene->getEventDispatcher();

    // No modal: a consumed key stops at its handler.
    sdlKey(SDLK_RIGHT);
    EXPECT_EQ(keys, (std::vector<std::string>{"menu row"}));

    dispatcher->pushModal(menu, 1, bar);
    EXPECT_EQ(dispatcher->getTopModal(), menu);
    keys.clear();
    menu->removeChild(row, true);  // the menu now ignores keys: still nothing leaks below
    sdlKey(SDLK_RIGHT);
    EXPECT_TRUE(keys.empty());
    // The pointer reaches the menu and its companion bar, never the views.
    menu->claim = false;
    touch("began", 0, 100, 100);
    touch("ended", 0, 100, 100);
    touch("began", 1, 100, 20);
    touch("ended", 1, 100, 20);
    EXPECT_EQ(log, (std::vector<std::string>{"menu began 0", "bar began 0", "menu began 1",
                                             "bar began 1", "bar ended 1"}));

    // An alert above it takes over, whatever order they were drawn in; when it goes, the menu
    // has input again.
    auto* alert = Layer::create();
    scene->addChild(alert, 1);
    keyListener(alert, "alert", true);
    dispatcher->pushModal(alert, 3);
    keys.clear();
    sdlKey(SDLK_RETURN);
    EXPECT_EQ(keys, (std::vector<std::string>{"alert"}));
    scene->removeChild(alert, true);
    EXPECT_EQ(dispatcher->getTopModal(), menu);

    // A touch claimed before the modal opened still ends where it began.
    dispatcher->removeModal(menu);
    log.clear();
    touch("began", 2, 100, 60);
    dispatcher->pushModal(menu, 1);
    touch("ended", 2, 100, 60);
    EXPECT_EQ(log, (std::vector<std::string>{"menu began 2", "bar began 2", "views began 2",
                                             "views ended 2"}));
    // Key releases go everywhere, so a held modifier cannot stick behind a modal.
    keys.clear();
    SDL_Event up{};
    up.type = SDL_KEYUP;
    up.key.keysym.sym = SDLK_LSHIFT;
    std::vector<std::string> released;
    auto* releases = EventListenerKeyboard::create();
    releases->onKeyReleased = [&released](EventKeyboard::KeyCode, Event*) {
        released.push_back("views");
    };
    dispatcher->addEventListenerWithSceneGraphPriority(releases, views);
    view()->handleEvent(up);
    EXPECT_EQ(released.size(), 1u);
    scene->removeChild(menu, true);
    EXPECT_EQ(dispatcher->getTopModal(), nullptr);
    dispatcher->removeEventListener(fixedKeys);
}

TEST_F(InputTest, CtrlQClosesTheWindowWithoutReachingListeners) {
    std::vector<EventKeyboard::KeyCode> pressed;
    auto* layer = Layer::create();
    auto* listener = EventListenerKeyboard::create();
    listener->onKeyPressed = [&](EventKeyboard::KeyCode code, Event*) { pressed.push_back(code); };
    layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, layer);
    scene->addChild(layer);
    sdlKey(SDLK_q);
    EXPECT_FALSE(view()->windowShouldClose());
    sdlKey(SDLK_q, KMOD_LCTRL);
    EXPECT_TRUE(view()->windowShouldClose());
    view()->setWindowShouldClose(false);
    EXPECT_EQ(pressed, (std::vector<EventKeyboard::KeyCode>{EventKeyboard::KeyCode::KEY_Q}));
}

TEST_F(InputTest, KeyboardListenersSeeKeys) {
    std::vector<EventKeyboard::KeyCode> pressed;
    auto* layer = Layer::create();
    auto* listener = EventListenerKeyboard::create();
    listener->onKeyPressed = [&](EventKeyboard::KeyCode code, Event*) { pressed.push_back(code); };
    layer->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, layer);
    scene->addChild(layer);

    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_ESCAPE;
    view()->handleEvent(e);
    e.key.repeat = 1;  // auto-repeat is not a new press
    view()->handleEvent(e);
    e.key.repeat = 0;
    e.key.keysym.sym = SDLK_p;
    view()->handleEvent(e);
    e.type = SDL_KEYUP;
    view()->handleEvent(e);
    EXPECT_EQ(pressed, (std::vector<EventKeyboard::KeyCode>{EventKeyboard::KeyCode::KEY_ESCAPE,
                                                            EventKeyboard::KeyCode::KEY_P}));
}

}  // namespace

namespace {

TEST_F(InputTest, FixedPrioritiesSurroundTheSceneGraph) {
    auto* layer = RecordingLayer::create("graph", &log, false);
    layer->setContentSize(Size(kWidth, kHeight));
    scene->addChild(layer);
    auto fixed = [this](const std::string& name, int priority) {
        auto* listener = EventListenerTouchOneByOne::create();
        listener->onTouchBegan = [this, name](Touch*, Event*) {
            log.push_back(name);
            return false;
        };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(listener,
                                                                                         priority);
        return listener;
    };
    auto* after = fixed("after", 10);
    auto* before = fixed("before", -10);
    auto* first = fixed("first", -20);
    auto* refused = EventListenerTouchOneByOne::create();
    Director::getInstance()->getEventDispatcher()->addEventListenerWithFixedPriority(refused, 0);
    EXPECT_FALSE(refused->isRegistered());  // 0 belongs to the scene graph

    touch("began", 0, 10, 10);
    touch("ended", 0, 10, 10);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "before", "graph began 0", "after",
                                             "graph ended 0"}));
    for (auto* listener : {after, before, first}) {
        Director::getInstance()->getEventDispatcher()->removeEventListener(listener);
    }
}

}  // namespace
