// The persistent captures drawn from vertex buffers kept over their fading life: built once per
// capture, and the picture the same to the pixel as streaming every capture's points each frame,
// as the layer used to (the reference drawing below).
#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "engine/renderer/GLProgram.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/Renderer.h"
#include "tests/power/PowerTestSupport.h"
#include "views/power/PowerLayer.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/ScissorClip.h"

namespace {

using namespace powertest;

// Draws one trace set's captures the way the layer did before it kept buffers: each capture's
// points mapped and streamed through the engine's shared buffer, every frame.
class StreamedCaptures : public engine::Node {
  public:
    static StreamedCaptures* create(SpectrumSettings* model) {
        auto* node = new StreamedCaptures();
        node->model_ = model;
        node->init();
        node->autorelease();
        return node;
    }
    void draw(engine::Renderer* renderer, const engine::Mat4& transform, uint32_t) override {
        for (int set : {PowerLayer::kLiveSet, PowerLayer::kReferenceSet}) {
            commands_[set].init(_globalZOrder);
            commands_[set].func = [this, set, transform]() { drawSet(set, transform); };
            renderer->addCommand(&commands_[set]);
        }
    }

    // Clipped as the layer is.
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override {
        if (!_visible)
            return;
        clip_.begin(
            renderer, _globalZOrder,
            engine::Rect(_position.x, _position.y, _contentSize.width, _contentSize.height + 1.0f));
        Node::visit(renderer, parentTransform, parentFlags);
        clip_.end(renderer, _globalZOrder);
    }

  private:
    void drawSet(int set, const engine::Mat4& transform) {
        const bool live = set == PowerLayer::kLiveSet;
        const PowerTraceLists& l = live ? static_cast<PowerTraceLists&>(model_->live)
                                        : static_cast<PowerTraceLists&>(model_->reference);
        const TraceChannel& channel = live ? model_->power_channel : model_->reference_channel;
        if (!live && !model_->reference.isValid) {
            return;
        }
        const float width = _contentSize.width;
        const float scaleY =
            _contentSize.height / (model_->accessory.powerAxisMax - model_->accessory.powerAxisMin);
        const engine::Mat4 placed =
            transform * engine::Mat4::translation(width / 2.0f, channel.offset) *
            engine::Mat4::scaling(1.0f, 1.0f) * engine::Mat4::translation(-width / 2.0f, 0.0f);
        engine::GL::blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        engine::GLProgram* program = PowerLayer::lineProgram();
        program->use();
        program->setUniformsForBuiltins(placed);
        program->setUniformLocationWith1f(program->getUniformLocation("u_pointSize"),
                                          PowerLayer::kPointSize);
        const GLenum mode = model_->common_settings.traceDots ? GL_POINTS : GL_LINE_STRIP;
        std::vector<engine::Vec2> points;
        for (size_t j = 0; j < l.processedHistory.size(); ++j) {
            const std::vector<float>& vertices = l.processedHistory[j];
            const size_t count = vertices.size() / 2;
            const float brightness = j < l.alpha.size() ? l.alpha[j] : 1.0f;
            if (count < 2 || !(brightness > 0.0f)) {
                continue;
            }
            const float spacing = width / static_cast<float>(count - 1);
            points.clear();
            for (size_t i = 0; i < count; ++i) {
                points.emplace_back(
                    0.0f + static_cast<float>(i) * spacing,
                    vertices[2 * i + 1] * scaleY - scaleY * model_->accessory.powerAxisMin);
            }
            program->setUniformLocationWith4f(
                program->getUniformLocation("u_color"), channel.color[0] / 255.0f,
                channel.color[1] / 255.0f, channel.color[2] / 255.0f, std::min(brightness, 1.0f));
            engine::GL::drawPositions(mode, points.data(), static_cast<int>(count));
        }
        engine::GL::blendFunc(GL_ONE, GL_ZERO);
    }

    SpectrumSettings* model_ = nullptr;
    engine::CustomCommand commands_[2];
    ScissorClip clip_;
};

// A noisy pulse train like the demonstration's, shifted per capture.
std::vector<float> pulses(size_t count, int shift) {
    std::vector<float> capture(count);
    uint32_t seed = 977u + static_cast<uint32_t>(shift);
    for (size_t j = 0; j < count; ++j) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 24) / 64.0f - 2.0f;
        capture[j] = ((j + static_cast<size_t>(shift) * 7) % 90 < 40 ? -8.0f : -33.0f) + noise;
    }
    return capture;
}

class PowerCaptureBuffersTest : public PowerLayerTestBase {
  protected:
    void SetUp() override {
        PowerLayerTestBase::SetUp();
        AccessoryDescription& a = model->accessory;
        for (int i = 0; i < 20; ++i)
            a.powerTimeBases.push_back(1e-6f * static_cast<float>(1 << i));
        a.powerRollLimitIndex = 10;
        model->power_setting.powerTimeBaseIndex = 15;  // captures
        model->power_setting.persistTime = 2.0f;
        GridLayer* grid = GridLayer::create();
        layer = PowerLayer::createWithModel(model.get());
        streamed = StreamedCaptures::create(model.get());
        ASSERT_NE(layer, nullptr);
        for (engine::Node* node :
             {static_cast<engine::Node*>(grid), static_cast<engine::Node*>(layer),
              static_cast<engine::Node*>(streamed)}) {
            node->setPosition(6, 8);
            node->setContentSize(engine::Size(kWidth - 12, kHeight - 16));
            scene->addChild(node);
        }
        grid->rebuildGrid();
        streamed->setVisible(false);
    }

    // Captures arriving ten a second, with frames of 50 ms between them: the older ones fade.
    void arrive(int captures, size_t points, int first = 0) {
        for (int c = 0; c < captures; ++c) {
            const std::vector<float> capture = pulses(points, first + c);
            model->live.appendCapture(capture.data(), capture.size());
            step(2, 0.05f);
        }
    }

    // The layer's picture and the streamed one of the same model, without time passing.
    void expectSamePicture(const char* what) {
        layer->setVisible(true);
        streamed->setVisible(false);
        const engine::Image kept = renderFrame(0.0f);
        layer->setVisible(false);
        streamed->setVisible(true);
        const engine::Image reference = renderFrame(0.0f);
        layer->setVisible(true);
        streamed->setVisible(false);
        ASSERT_EQ(kept.getWidth(), reference.getWidth());
        int differing = 0;
        std::set<int> greens;  // the fading shows as many brightness levels
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgb a = pixelAt(kept, x, y);
                differing += a == pixelAt(reference, x, y) ? 0 : 1;
                greens.insert(a.g);
            }
        }
        EXPECT_EQ(differing, 0) << what;
        EXPECT_GE(greens.size(), 10u) << what;
    }

    PowerLayer* layer = nullptr;
    StreamedCaptures* streamed = nullptr;
};

}  // namespace

TEST_F(PowerCaptureBuffersTest, EachCaptureIsBuiltOnceOverItsFadingLife) {
    arrive(5, 1000);
    EXPECT_EQ(layer->getCaptureBufferBuilds(PowerLayer::kLiveSet), 5u);
    // Fading steps, and the oldest capture expiring, build nothing.
    const size_t before = model->live.processedHistory.size();
    step(40, 0.05f);
    EXPECT_LT(model->live.processedHistory.size(), before);
    EXPECT_EQ(layer->getCaptureBufferBuilds(PowerLayer::kLiveSet), 5u);
    // A new capture builds its own.
    arrive(1, 1000, 5);
    EXPECT_EQ(layer->getCaptureBufferBuilds(PowerLayer::kLiveSet), 6u);
    // A resize moves every point: each capture on screen is built again.
    const size_t shown = model->live.processedHistory.size();
    layer->setContentSize(engine::Size(kWidth - 40, kHeight - 16));
    step(1, 0.0f);
    EXPECT_EQ(layer->getCaptureBufferBuilds(PowerLayer::kLiveSet), 6u + shown);
}

TEST_F(PowerCaptureBuffersTest, KeptBuffersDrawWhatStreamingEveryCaptureDrew) {
    // Twenty captures of 1000 points (drawn point by point) and a few smoothed short ones.
    arrive(20, 1000);
    arrive(3, 300, 20);
    ASSERT_GE(model->live.processedHistory.size(), 15u);
    expectSamePicture("lines");
    model->common_settings.traceDots = 1;
    expectSamePicture("dots");
    model->common_settings.traceDots = 0;
    // What moves every point, and new captures after the lists were cleared.
    model->power_channel.offset = 12.0f;
    model->accessory.powerAxisMax = 5.0f;
    layer->setContentSize(engine::Size(kWidth - 40, kHeight - 30));
    streamed->setContentSize(engine::Size(kWidth - 40, kHeight - 30));
    expectSamePicture("moved");
    model->live.clearLists();
    arrive(6, 1000, 40);
    expectSamePicture("after clearing");
}

TEST_F(PowerCaptureBuffersTest, TheReferenceSetKeepsItsOwnBuffers) {
    arrive(4, 1000);
    PowerReferenceSet& reference = model->reference;
    reference.processedHistory = model->live.processedHistory;
    reference.alpha = {0.25f, 0.5f, 0.75f, 1.0f};
    reference.timeScaleIndex = model->power_setting.powerTimeBaseIndex;
    reference.isValid = true;
    model->reference_channel.shown = 1;
    model->reference_channel.offset = -40.0f;
    model->live.clearLists();
    arrive(3, 1000, 10);
    expectSamePicture("live and reference");
    EXPECT_EQ(layer->getCaptureBufferBuilds(PowerLayer::kReferenceSet), 4u);
    step(10, 0.05f);
    EXPECT_EQ(layer->getCaptureBufferBuilds(PowerLayer::kReferenceSet), 4u);
}
