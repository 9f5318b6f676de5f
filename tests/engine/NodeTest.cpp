// Reference counting, the per-frame pool, the create/init pattern and node geometry.
#include <cmath>

#include "engine/2d/Layer.h"
#include "engine/2d/Sprite.h"
#include "engine/base/AutoreleasePool.h"
#include "tests/engine/EngineTestSupport.h"

using namespace engine;
using namespace enginetest;

namespace {

int g_alive = 0;

class Counted : public Node {
  public:
    static Counted* create(bool succeed) {
        auto* node = new Counted();
        if (node->initWith(succeed)) {
            node->autorelease();
            return node;
        }
        delete node;
        return nullptr;
    }
    bool initWith(bool succeed) { return Node::init() && succeed; }
    ~Counted() override { --g_alive; }
    void onEnter() override {
        Node::onEnter();
        ++entered;
    }
    void onExit() override {
        Node::onExit();
        ++exited;
    }
    int entered = 0, exited = 0;

  private:
    Counted() { ++g_alive; }
};

using NodeTest = EngineTest;

TEST_F(NodeTest, AutoreleasedObjectsLiveUntilTheFrameEndsUnlessRetained) {
    g_alive = 0;
    Counted* loose = Counted::create(true);
    Counted* kept = Counted::create(true);
    Counted* child = Counted::create(true);
    ASSERT_TRUE(loose && kept && child);
    EXPECT_EQ(Counted::create(false), nullptr);  // failed init: destroyed at once
    EXPECT_EQ(g_alive, 3);
    EXPECT_EQ(loose->getReferenceCount(), 1u);
    kept->retain();
    scene->addChild(child);
    EXPECT_EQ(child->getReferenceCount(), 2u);

    step(1);  // the pool drains after the frame
    EXPECT_EQ(g_alive, 2);
    EXPECT_EQ(kept->getReferenceCount(), 1u);
    EXPECT_EQ(child->getReferenceCount(), 1u);

    kept->release();
    EXPECT_EQ(g_alive, 1);
    child->removeFromParent();
    EXPECT_EQ(g_alive, 0);
    EXPECT_EQ(AutoreleasePool::getInstance()->size(), 0u);
}

TEST_F(NodeTest, EnterAndExitFollowTheRunningScene) {
    Counted* parent = Counted::create(true);
    Counted* child = Counted::create(true);
    parent->addChild(child);
    EXPECT_FALSE(child->isRunning());
    scene->addChild(parent);
    EXPECT_TRUE(child->isRunning());
    EXPECT_EQ(child->entered, 1);
    Counted* late = Counted::create(true);
    parent->addChild(late);  // joining a running parent enters at once
    EXPECT_EQ(late->entered, 1);
    parent->retain();
    parent->removeFromParent();
    EXPECT_EQ(child->exited, 1);
    EXPECT_FALSE(late->isRunning());
    parent->release();
}

TEST_F(NodeTest, ChildrenOrderByLocalZThenArrival) {
    auto* parent = Node::create();
    auto* a = Node::create();
    auto* b = Node::create();
    auto* c = Node::create();
    parent->addChild(a, 2);
    parent->addChild(b, -1);
    parent->addChild(c, 2);
    parent->sortAllChildren();
    EXPECT_EQ(parent->getChildren(), (std::vector<Node*>{b, a, c}));
    a->setLocalZOrder(2);  // re-setting moves it behind its equals
    parent->sortAllChildren();
    EXPECT_EQ(parent->getChildren(), (std::vector<Node*>{b, c, a}));
    c->setTag(7);
    EXPECT_EQ(parent->getChildByTag(7), c);
    parent->removeChildByTag(7);
    EXPECT_EQ(parent->getChildrenCount(), 2u);
}

TEST_F(NodeTest, TransformsAnchorsAndConversions) {
    auto* node = Node::create();
    node->setContentSize(Size(40, 20));
    node->setAnchorPoint(Vec2(0.5f, 0.5f));
    node->setPosition(100, 50);
    EXPECT_EQ(node->getBoundingBox(), Rect(80, 40, 40, 20));

    node->setScaleX(-2);  // a mirrored node keeps a positive-size bounding box
    EXPECT_EQ(node->getBoundingBox(), Rect(60, 40, 80, 20));
    EXPECT_EQ(node->convertToWorldSpace(Vec2(0, 0)), Vec2(140, 40));

    node->setScale(1);
    node->setRotation(90);  // clockwise: the node's +x points down the screen
    Vec2 p = node->convertToWorldSpace(Vec2(40, 10));  // right edge, middle
    EXPECT_NEAR(p.x, 100, 1e-4);
    EXPECT_NEAR(p.y, 30, 1e-4);
    Vec2 back = node->convertToNodeSpace(p);
    EXPECT_NEAR(back.x, 40, 1e-4);
    EXPECT_NEAR(back.y, 10, 1e-4);

    // Layers are placed by their corner whatever their anchor; nested transforms compose.
    auto* layer = Layer::create();
    layer->setContentSize(Size(100, 100));
    layer->setPosition(10, 20);
    auto* child = Node::create();
    child->setPosition(5, 5);
    layer->addChild(child);
    EXPECT_EQ(layer->getBoundingBox().origin, Vec2(10, 20));
    EXPECT_EQ(child->convertToWorldSpace(Vec2(1, 1)), Vec2(16, 26));
    layer->setScale(2);  // about the layer's centre (its anchor)
    EXPECT_EQ(layer->convertToWorldSpace(Vec2(50, 50)), Vec2(60, 70));
    EXPECT_EQ(layer->convertToWorldSpace(Vec2(0, 0)), Vec2(-40, -30));
    EXPECT_EQ(layer->convertToNodeSpace(Vec2(60, 70)), Vec2(50, 50));
}

TEST_F(NodeTest, OpacityAndColourCascadeOnlyWhenEnabled) {
    auto* parent = Node::create();
    auto* child = Node::create();
    parent->addChild(child);
    child->setOpacity(200);
    parent->setOpacity(128);
    EXPECT_EQ(child->getDisplayedOpacity(), 200);
    parent->setCascadeOpacityEnabled(true);
    EXPECT_EQ(child->getDisplayedOpacity(), 200 * 128 / 255);
    auto* late = Node::create();
    parent->addChild(late);  // a new child picks up the parent's opacity
    EXPECT_EQ(late->getDisplayedOpacity(), 128);
    parent->setCascadeOpacityEnabled(false);
    EXPECT_EQ(child->getDisplayedOpacity(), 200);

    parent->setCascadeColorEnabled(true);
    parent->setColor(Color3B(255, 0, 128));
    EXPECT_EQ(child->getDisplayedColor(), Color3B(255, 0, 128));
    EXPECT_EQ(child->getColor(), Color3B::WHITE);
}

}  // namespace
