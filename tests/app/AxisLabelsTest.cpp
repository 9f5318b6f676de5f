// The plot's scales in a real GL window: each label reads the value of the grid line it sits on,
// its text is drawn there, and at any size the labels fit without overlapping; a scale change
// rewrites them.
#include "views/spectrum/AxisLabelsLayer.h"

#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"
#include "views/spectrum/GridLayer.h"

using namespace apptest;

namespace {

constexpr float kInset = GridLayer::kInset;

class AxisLabelsTest : public AppGlTest {
  protected:
    AxisLabelsLayer* add(AxisLabelsLayer::View view, int band, float w, float h) {
        AxisLabelsLayer* layer = AxisLabelsLayer::createWithModel(&model, view, band);
        EXPECT_NE(layer, nullptr);
        layer->setContentSize(engine::Size(w, h));
        layer->update(0);
        scene->addChild(layer);
        return layer;
    }
    static std::vector<AxisLabelsLayer::Placed> axis(const AxisLabelsLayer* layer, bool vertical) {
        std::vector<AxisLabelsLayer::Placed> out;
        for (const auto& p : layer->getPlaced()) {
            if (p.vertical == vertical)
                out.push_back(p);
        }
        return out;
    }
    // Every label inside the layer, none overlapping another.
    static void expectApart(const AxisLabelsLayer* layer, float w, float h) {
        const auto& placed = layer->getPlaced();
        for (size_t i = 0; i < placed.size(); ++i) {
            const engine::Rect& a = placed[i].box;
            EXPECT_GE(a.getMinX(), 0.f);
            EXPECT_GE(a.getMinY(), 0.f);
            EXPECT_LE(a.getMaxX(), w);
            EXPECT_LE(a.getMaxY(), h);
            for (size_t j = i + 1; j < placed.size(); ++j) {
                EXPECT_FALSE(a.intersectsRect(placed[j].box))
                    << placed[i].text << " covers " << placed[j].text;
            }
        }
    }
    SpectrumSettings model;
};

TEST_F(AxisLabelsTest, EachLabelReadsItsGridLineAndIsDrawnThere) {
    model.accessory.levelMin24 = -110.f;
    model.accessory.levelMax24 = -30.f;
    const float w = 904, h = 564;
    GridLayer* grid = GridLayer::create();
    grid->setContentSize(engine::Size(w, h));
    grid->rebuildGrid();
    grid->applyGraticule(8);  // major grid only
    scene->addChild(grid);
    AxisLabelsLayer* layer = add(AxisLabelsLayer::View::kSpectrum, 0, w, h);

    const auto across = axis(layer, false);
    // Room for every division at this width, but the last, "2500 MHz", crowds out "2490".
    ASSERT_EQ(across.size(), 10u);
    EXPECT_EQ(across.back().division, 10);
    EXPECT_EQ(across[8].division, 8);
    for (const auto& label : across) {
        const float value = 2400.f + 10.f * static_cast<float>(label.division);
        std::string text = AxisScale::text(AxisScale::spectrumFrequency(0), value);
        if (label.division == 10)
            text += " MHz";
        EXPECT_EQ(label.text, text);
        // Centred on its line, but for the two ends, which lean inwards.
        const float line = AxisScale::position(w, label.division, 10, kInset);
        if (label.division > 0 && label.division < 10) {
            EXPECT_NEAR(label.box.getMidX(), line, 1.f) << label.text;
        } else {
            EXPECT_TRUE(line >= label.box.getMinX() - 2 && line <= label.box.getMaxX() + 2);
        }
    }
    const auto up = axis(layer, true);
    ASSERT_GE(up.size(), 8u);
    for (const auto& label : up) {
        const float value = -110.f + 10.f * static_cast<float>(label.division);
        EXPECT_EQ(label.text.substr(0, label.text.find(' ')),
                  AxisScale::text(AxisScale::spectrumLevel(model, 0), value));
        const float line = AxisScale::position(h, label.division, 8, kInset);
        if (label.division > 0 && label.division < 8) {
            EXPECT_NEAR(label.box.getMidY(), line, 1.f) << label.text;
        }
    }
    EXPECT_EQ(up.back().text, "-30 dBm");
    expectApart(layer, w, h);

    // Text pixels (bright, unlike the dark grid) inside every label's plate, and the grid line
    // above a bottom label is the line that label names.
    const engine::Image image = renderFrame();
    for (const auto& label : layer->getPlaced()) {
        int bright = 0;
        for (int y = static_cast<int>(label.box.getMinY()); y < label.box.getMaxY(); ++y)
            for (int x = static_cast<int>(label.box.getMinX()); x < label.box.getMaxX(); ++x)
                bright += pixelAt(image, x, y).r > 120;
        EXPECT_GT(bright, 5) << label.text;
    }
    const auto& fifth = across[5];
    const int lineX = static_cast<int>(AxisScale::position(w, 5, 10, kInset));
    EXPECT_TRUE(
        pixelAt(image, lineX, static_cast<int>(fifth.box.getMaxY()) + 6).near(Rgb{38, 38, 38}))
        << pixelAt(image, lineX, static_cast<int>(fifth.box.getMaxY()) + 6);
}

TEST_F(AxisLabelsTest, SmallWindowsShowFewerLabelsAndNoneOverlaps) {
    // The view area of a 480 x 320 window, of a full HD one, and of a 4K screen.
    for (const engine::Size size :
         {engine::Size(480, 271), engine::Size(1920, 1005), engine::Size(3840, 2085)}) {
        for (auto view : {AxisLabelsLayer::View::kSpectrum, AxisLabelsLayer::View::kWaterfall,
                          AxisLabelsLayer::View::kPower}) {
            model.accessory.powerTimeBases = {1e-6f};
            AxisLabelsLayer* layer = add(view, 1, size.width, size.height);
            SCOPED_TRACE(testing::Message() << size.width << " view " << static_cast<int>(view));
            expectApart(layer, size.width, size.height);
            EXPECT_GE(axis(layer, false).size(), 3u);
            EXPECT_GE(axis(layer, true).size(), 3u);
            // Always both ends of the bottom scale.
            EXPECT_EQ(axis(layer, false).front().division, 0);
            EXPECT_EQ(axis(layer, false).back().division, 10);
            if (size.width < 500 && view == AxisLabelsLayer::View::kSpectrum) {
                EXPECT_LT(axis(layer, false).size(), 11u);  // 5 GHz labels need more room
            }
            layer->removeFromParent();
        }
    }
    EXPECT_EQ(AxisLabelsLayer::fontSizeFor(engine::Size(480, 271)), AxisLabelsLayer::kMinFontSize);
    EXPECT_EQ(AxisLabelsLayer::fontSizeFor(engine::Size(3840, 2085)),
              AxisLabelsLayer::kMaxFontSize);
}

TEST_F(AxisLabelsTest, LabelsFollowAScaleChange) {
    model.accessory.levelMin24 = -90.f;
    model.accessory.levelMax24 = -10.f;
    AxisLabelsLayer* layer = add(AxisLabelsLayer::View::kSpectrum, 0, 904, 564);
    EXPECT_EQ(axis(layer, true).back().text, "-10 dBm");
    model.accessory.levelMax24 = -50.f;  // a pinch zooms the level axis
    layer->update(0);
    EXPECT_EQ(axis(layer, true).back().text, "-50 dBm");
    // The waterfall's side reads its time scale.
    model.accessory.optionBytes[1] = 1;
    model.accessory.spectrumInterval24 = 0.1f;
    AxisLabelsLayer* waterfall = add(AxisLabelsLayer::View::kWaterfall, 0, 904, 564);
    EXPECT_EQ(axis(waterfall, true).back().text, "0 s");
    // The bottom line's label would sit on the frequency row's: the lowest shown is division 1.
    EXPECT_EQ(axis(waterfall, true).front().division, 1);
    EXPECT_EQ(axis(waterfall, true).front().text, "-43.8 s");
    model.spectrum_settings.waterfallTimeScaleIndex = 1;
    waterfall->update(0);
    EXPECT_EQ(axis(waterfall, true).front().text, "-21.9 s");
}

}  // namespace
