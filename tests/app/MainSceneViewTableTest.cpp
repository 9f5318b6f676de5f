// The main scene builds its views from the rebuild table through one factory per kind, with the
// controller's interface handed on to every factory.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/MainScene.h"
#include "engine/2d/Layer.h"
#include "engine/base/Director.h"
#include "model/AccessoryControl.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FakeAccessoryControl.h"
#include "views/spectrum/RssiLayer.h"

using namespace apptest;

namespace {

const std::vector<ViewLayer> kEveryKind = {
    ViewLayer::kGrid,         ViewLayer::kSpectrumTrace,    ViewLayer::kAccessPointOutlines,
    ViewLayer::kWaterfall,    ViewLayer::kWaterfallTouch,   ViewLayer::kPowerTrace,
    ViewLayer::kPowerTouch,   ViewLayer::kPowerMeterNotice, ViewLayer::kCursors,
    ViewLayer::kChannelGuide, ViewLayer::kOverlay};

class MainSceneViewTableTest : public AppGlTest {
  protected:
    struct Built {
        ViewLayer kind;
        ViewContext context;
        engine::Layer* layer;  // retained by the test
        int rebuild;
    };

    void SetUp() override {
        AppGlTest::SetUp();
        model.runtime.displayClass = 3;
        SpectrumSettings::getInstance()->runtime.displayClass = 3;
        model.accessory.hasSpectrum5 = true;
        model.spectrum_settings.ssidScanOn = 0;
        main = MainScene::createWithModel(&model);
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override {
        AppGlTest::TearDown();
        for (const Built& b : built)
            b.layer->release();
    }
    // Every kind gets a factory that records what it was asked for and builds a plain layer.
    void recordEveryKind() {
        for (ViewLayer kind : kEveryKind) {
            main->setViewFactory(kind, [this, kind](const ViewContext& context) {
                engine::Layer* layer = engine::Layer::create();
                layer->retain();  // kept, to see it leave the scene
                built.push_back({kind, context, layer, main->getRebuildCount()});
                return ViewFactories::inInnerArea(layer, context);
            });
        }
    }
    // Onto the stage, until the first frames' rebuilds are done.
    void start() {
        engine::Director::getInstance()->replaceScene(main);
        step(2, 0);
    }
    // What the latest rebuild built.
    std::vector<Built> latest() const {
        std::vector<Built> out;
        for (const Built& b : built) {
            if (b.rebuild == main->getRebuildCount())
                out.push_back(b);
        }
        return out;
    }
    // The scene holds the latest rebuild's layers in the table's drawing order, built with its
    // model, control and popover; every earlier layer has left the scene.
    void expectRebuiltAs(const std::vector<ViewLayer>& kinds, const char* what) {
        SCOPED_TRACE(what);
        const std::vector<Built> now = latest();
        std::vector<ViewLayer> nowKinds;
        for (const Built& b : now)
            nowKinds.push_back(b.kind);
        ASSERT_EQ(nowKinds, kinds);
        const auto& children = main->getChildren();
        auto at = [&](engine::Node* layer) {
            return std::find(children.begin(), children.end(), layer) - children.begin();
        };
        for (size_t i = 0; i < now.size(); ++i) {
            const Built& b = now[i];
            EXPECT_EQ(b.layer->getParent(), main);
            EXPECT_EQ(main->getViewLayer(b.kind), b.layer);
            EXPECT_EQ(b.context.model, &model);
            EXPECT_EQ(b.context.control, &control);
            EXPECT_EQ(b.context.scalingPopover, main->getScalingPopover());
            EXPECT_EQ(b.layer->getPosition(), main->innerArea().origin);
            if (i > 0) {
                EXPECT_LT(at(now[i - 1].layer), at(b.layer));
            }
        }
        for (const Built& b : built) {
            if (b.rebuild != main->getRebuildCount()) {
                EXPECT_EQ(b.layer->getParent(), nullptr) << "an earlier rebuild's layer is shown";
            }
        }
    }

    SpectrumSettings model;
    FakeAccessoryControl control;
    ManualClock simulated{50'000'000'000};  // far from the steady clock's reading
    MainScene* main = nullptr;
    std::vector<Built> built;
};

TEST_F(MainSceneViewTableTest, EachChangeRebuildsTheTablesLayersThroughTheFactories) {
    recordEveryKind();
    main->setAccessoryControl(&control);
    start();
    using V = ViewLayer;
    expectRebuiltAs({V::kGrid, V::kSpectrumTrace, V::kCursors, V::kChannelGuide, V::kOverlay},
                    "real wave");
    EXPECT_EQ(latest()[0].context.band, 0);
    EXPECT_EQ(latest()[0].context.viewArea.origin.y, 75.f);

    // Only the four settings of the table rebuild; the graticule and the cursors do not.
    const int rebuilds = main->getRebuildCount();
    model.graticule = 0;
    model.cursors.cursorsShown = 1;
    step(1);
    EXPECT_EQ(main->getRebuildCount(), rebuilds);

    model.spectrum_settings.ssidScanOn = 1;
    step(1);
    expectRebuiltAs({V::kGrid, V::kSpectrumTrace, V::kAccessPointOutlines, V::kCursors,
                     V::kChannelGuide, V::kOverlay},
                    "scanning");

    model.spectrum_settings.band = 1;
    step(1);
    expectRebuiltAs({V::kGrid, V::kSpectrumTrace, V::kAccessPointOutlines, V::kCursors,
                     V::kChannelGuide, V::kOverlay},
                    "5 GHz");
    EXPECT_EQ(latest()[1].context.band, 1);
    EXPECT_TRUE(latest()[1].context.ssidScanOn);

    model.spectrum_settings.viewMode = 1;
    step(1);
    expectRebuiltAs(
        {V::kGrid, V::kWaterfall, V::kCursors, V::kWaterfallTouch, V::kChannelGuide, V::kOverlay},
        "waterfall");
    EXPECT_EQ(latest()[1].context.viewMode, 1);

    model.common_settings.spectrumMode = 0;
    step(1);
    expectRebuiltAs(
        {V::kGrid, V::kPowerTrace, V::kCursors, V::kPowerTouch, V::kPowerMeterNotice, V::kOverlay},
        "power");
    EXPECT_EQ(latest()[0].context.spectrumMode, 0);
    EXPECT_EQ(main->getRebuildCount(), rebuilds + 4);

    // Building views never steers the accessory.
    EXPECT_EQ(control.totalRequests(), 0);
}

TEST_F(MainSceneViewTableTest, AControlHandedOverLaterReachesTheViewsAtTheNextFrame) {
    recordEveryKind();
    start();
    ASSERT_FALSE(latest().empty());
    EXPECT_EQ(latest()[0].context.control, nullptr);
    const int rebuilds = main->getRebuildCount();
    main->setAccessoryControl(&control);
    step(1);
    EXPECT_EQ(main->getRebuildCount(), rebuilds + 1);
    expectRebuiltAs({ViewLayer::kGrid, ViewLayer::kSpectrumTrace, ViewLayer::kCursors,
                     ViewLayer::kChannelGuide, ViewLayer::kOverlay},
                    "with the control");
    // The same one again is no change.
    main->setAccessoryControl(&control);
    step(1);
    EXPECT_EQ(main->getRebuildCount(), rebuilds + 1);
}

TEST_F(MainSceneViewTableTest, AKindWithoutAViewIsLeftOutAndTheRestStillDrawn) {
    main->setAccessoryControl(&control);
    // A view layer that steers the accessory through what its factory was given.
    main->setViewFactory(ViewLayer::kCursors, [](const ViewContext& context) -> engine::Layer* {
        if (context.control)
            context.control->requestReconfigure(true);
        return nullptr;  // and then cannot be built
    });
    main->setViewFactory(ViewLayer::kChannelGuide, ViewFactory());
    start();
    EXPECT_EQ(control.reconfigures, main->getRebuildCount());  // once per build
    EXPECT_TRUE(control.lastClearData());
    EXPECT_EQ(main->getViewLayer(ViewLayer::kCursors), nullptr);
    EXPECT_EQ(main->getViewLayer(ViewLayer::kChannelGuide), nullptr);
    // The application's own factories built the rest, for the band shown.
    ASSERT_NE(main->getGridLayer(), nullptr);
    auto* trace = dynamic_cast<RssiLayer*>(main->getViewLayer(ViewLayer::kSpectrumTrace));
    ASSERT_NE(trace, nullptr);
    EXPECT_TRUE(trace->showBand24);
    EXPECT_FALSE(trace->showBand5);
    EXPECT_EQ(trace->getContentSize().width, main->innerArea().size.width);
    EXPECT_NE(main->getViewLayer(ViewLayer::kOverlay), nullptr);
}

// The scene ages access points by its own clock: a run on simulated time, with the process
// clock left as it is, still drops what that time says is stale.
TEST_F(MainSceneViewTableTest, AccessPointsAgeByTheScenesClock) {
    main->setClock(&simulated);
    start();
    auto add = [&](uint64_t lastSeen) {
        auto ap = std::make_unique<AccessPoint>();
        ap->lastSeen = lastSeen;
        model.accessPoints.push_back(std::move(ap));
    };
    add(simulated.nowMilliseconds() - 181'000);
    add(simulated.nowMilliseconds() - 1'000);
    main->showSsidTable();
    step(11, 1.f);
    ASSERT_EQ(model.accessPoints.size(), 1u);
    EXPECT_EQ(model.accessPoints[0]->lastSeen, simulated.nowMilliseconds() - 1'000);
    simulated.advance(180'000);
    step(10, 1.f);
    EXPECT_TRUE(model.accessPoints.empty());
}

}  // namespace
