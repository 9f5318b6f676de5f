// Renders a small demonstration scene with every kind of engine node to a PNG, so a person can
// look at what the engine draws: engine-demo [output.png]
#include <GL/glew.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Layer.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Scene.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/base/Utils.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLView.h"
#include "engine/platform/GLViewImpl.h"
#include "engine/renderer/CustomCommand.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/Texture2D.h"

using namespace engine;

namespace {

constexpr float kWidth = 640;
constexpr float kHeight = 400;
const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
const char* kBold = "fonts/roboto/Roboto-Bold.ttf";

// Clips its children to its own rectangle.
class PlotLayer : public Layer {
  public:
    CREATE_FUNC(PlotLayer)
    void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t flags) override {
        _begin.init(_globalZOrder);
        _begin.func = [this]() {
            glEnable(GL_SCISSOR_TEST);
            Director::getInstance()->getOpenGLView()->setScissorInPoints(
                _position.x, _position.y, _contentSize.width, _contentSize.height);
        };
        renderer->addCommand(&_begin);
        Layer::visit(renderer, parentTransform, flags);
        _end.init(_globalZOrder);
        _end.func = []() { glDisable(GL_SCISSOR_TEST); };
        renderer->addCommand(&_end);
    }

  private:
    CustomCommand _begin, _end;
};

Texture2D* markerTexture() {
    // A 16 x 16 upward triangle, opaque white on transparent.
    const int n = 16;
    std::vector<unsigned char> pixels(n * n * 4, 0);
    for (int y = 0; y < n; ++y) {
        int half = y / 2;
        for (int x = n / 2 - half - 1; x <= n / 2 + half; ++x) {
            if (x < 0 || x >= n)
                continue;
            unsigned char* p = &pixels[(y * n + x) * 4];
            p[0] = p[1] = p[2] = p[3] = 255;
        }
    }
    auto* texture = new Texture2D();
    texture->initWithData(pixels.data(), pixels.size(), Texture2D::PixelFormat::RGBA8888, n, n,
                          Size(n, n));
    texture->autorelease();
    return texture;
}

void buildScene(Scene* scene) {
    scene->addChild(LayerColor::create(Color4B(12, 14, 18, 255), kWidth, kHeight));

    auto* plot = PlotLayer::create();
    plot->setPosition(20, 60);
    plot->setContentSize(Size(600, 320));
    scene->addChild(plot);
    const float w = 600, h = 320;

    auto* grid = DrawNode::create(2);
    for (int j = 0; j <= 40; ++j) {
        float y = (h - 4) * j / 40 + 2;
        grid->drawLine(Vec2(2, y), Vec2(w - 2, y), Color4F(0.1f, 0.1f, 0.1f, 1));
    }
    for (int i = 0; i <= 50; ++i) {
        float x = (w - 4) * i / 50 + 2;
        grid->drawLine(Vec2(x, 2), Vec2(x, h - 2), Color4F(0.1f, 0.1f, 0.1f, 1));
    }
    for (int j = 0; j <= 8; ++j) {
        float y = (h - 4) * j / 8 + 2;
        grid->drawLine(Vec2(2, y), Vec2(w - 2, y), Color4F(0.15f, 0.15f, 0.15f, 1));
    }
    for (int i = 0; i <= 10; ++i) {
        float x = (w - 4) * i / 10 + 2;
        grid->drawLine(Vec2(x, 2), Vec2(x, h - 2), Color4F(0.15f, 0.15f, 0.15f, 1));
    }
    grid->drawLine(Vec2(w * 0.5f, 2), Vec2(w * 0.5f, h - 2), Color4F(0.5f, 0.5f, 0.5f, 1));
    grid->drawRect(Vec2(2, 2), Vec2(w - 2, h - 2), Color4F(0.5f, 0.5f, 0.5f, 1));
    plot->addChild(grid);

    // Two traces: a noise floor with a Wi-Fi-like hump, and its peak hold.
    auto* traces = DrawNode::create(2);
    std::vector<Vec2> raw, hold;
    unsigned seed = 7;
    for (int i = 0; i < 256; ++i) {
        seed = seed * 1103515245u + 12345u;
        float noise = static_cast<float>((seed >> 16) % 1000) / 1000.f;
        float x = i * w / 255;
        float hump = 150 * std::exp(-std::pow((i - 90) / 18.f, 2.f)) +
                     90 * std::exp(-std::pow((i - 190) / 10.f, 2.f));
        float y = 40 + noise * 20 + hump;
        raw.emplace_back(x, y);
        hold.emplace_back(x, y + 12 + 8 * noise);
    }
    traces->drawPoly(hold.data(), static_cast<unsigned>(hold.size()), false,
                     Color4F(1, 0.5f, 0, 1));
    traces->drawPoly(raw.data(), static_cast<unsigned>(raw.size()), false, Color4F(1, 1, 0, 1));
    // An access point outline: a trapezoid and an ellipse whose lower half is clipped away.
    const Vec2 trapezoid[] = {{300, 0}, {310, 200}, {400, 200}, {410, 0}};
    traces->drawPoly(trapezoid, 4, false, Color4F(0.3f, 0.8f, 1, 1));
    traces->drawCircle(Vec2(500, 0), 50, 0, 40, false, 1, 2.4f, Color4F(0.8f, 0.4f, 1, 1));
    // Cursors: solid and dashed.
    traces->drawLine(Vec2(180, 0), Vec2(180, h), Color4F(0.75f, 0.75f, 0.75f, 1));
    for (int i = 0; i < 40; ++i) {
        traces->drawLine(Vec2(420, i * h / 40), Vec2(420, (i + 0.66f) * h / 40),
                         Color4F(0.75f, 0.75f, 0.75f, 1));
    }
    plot->addChild(traces);

    // Peak markers: one texture, tinted per trace; one hangs from the top edge.
    Texture2D* marker = markerTexture();
    const float peaks[][2] = {{90, 230}, {190, 170}, {60, 320}};
    for (int k = 0; k < 3; ++k) {
        auto* sprite = Sprite::createWithTexture(marker);
        sprite->setColor(k == 1 ? Color3B(255, 128, 0) : Color3B(255, 255, 0));
        bool top = peaks[k][1] >= h - 16;
        sprite->setAnchorPoint(top ? Vec2(0.5f, 1) : Vec2(0.5f, 0));
        sprite->setFlippedY(top);  // hanging markers point down
        sprite->setPosition(peaks[k][0] * w / 255, top ? h : peaks[k][1]);
        plot->addChild(sprite);
    }

    // A translucent popup with a label, and a half-transparent overlay label.
    auto* panel = LayerColor::create(Color4B(26, 26, 26, 166), 170, 64);
    panel->setPosition(440, 300);
    scene->addChild(panel, 10);
    auto* title = Label::createWithTTF("802.11g :: 6", kBold, 16);
    if (title) {
        title->setPosition(85, 46);
        panel->addChild(title);
    }
    auto* range = Label::createWithTTF("START: 2427MHz\nEND: 2447MHz", kFont, 13, Size::ZERO,
                                       TextHAlignment::RIGHT);
    if (range) {
        range->setPosition(85, 20);
        panel->addChild(range);
    }

    // The status strip along the bottom.
    const char* texts[] = {"A:10.00dBm/div", "Hz:10.00 MHz/div", "@Hz: 2.437 GHz",
                           "ΔHz: 12.5 MHz",  "@dBm: -52.31dBm",  "ΔdBm: 3.07dB"};
    const Color4B colours[] = {Color4B::WHITE,
                               Color4B::WHITE,
                               Color4B(255, 0, 0, 255),
                               Color4B(255, 0, 0, 255),
                               Color4B(255, 165, 0, 255),
                               Color4B(255, 165, 0, 255)};
    for (int i = 0; i < 6; ++i) {
        auto* label = Label::createWithTTF(texts[i], kFont, 15);
        if (!label)
            continue;
        label->setTextColor(colours[i]);
        label->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        label->setPosition(20 + (i / 2) * 200, i % 2 ? 18 : 40);
        scene->addChild(label, 60);
    }
    auto* symbols = Label::createWithTTF("µs  μW  Δt  90°  ∞", kFont, 15);
    if (symbols) {
        symbols->setAnchorPoint(Vec2::ANCHOR_TOP_LEFT);
        symbols->setPosition(30, 372);
        symbols->setOpacity(160);
        scene->addChild(symbols, 60);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string output = argc > 1 ? argv[1] : "engine-demo.png";
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    auto* view = GLViewImpl::createWithRect("engine-demo", Rect(0, 0, kWidth, kHeight));
    if (!view) {
        std::fprintf(stderr, "engine-demo: no OpenGL 3.3 context\n");
        return 1;
    }
    Director* director = Director::getInstance();
    director->setOpenGLView(view);
    FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});

    auto* scene = Scene::create();
    buildScene(scene);
    director->runWithScene(scene);
    bool saved = false;
    if (!FileUtils::isAbsolutePath(output)) {
        char cwd[4096];
        if (getcwd(cwd, sizeof(cwd)))
            output = std::string(cwd) + "/" + output;
    }
    utils::captureScreen([&](bool ok, const std::string&) { saved = ok; }, output);
    director->mainLoop(1.f / 60.f);
    Director::destroyInstance();
    if (!saved) {
        std::fprintf(stderr, "engine-demo: could not write %s\n", output.c_str());
        return 1;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
