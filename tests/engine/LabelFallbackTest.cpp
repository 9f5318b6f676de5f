// Names in scripts the bundled Roboto lacks, drawn through fontconfig's fallback into the real
// framebuffer. Needs an installed CJK font (scripts/deps.sh installs fonts-wqy-microhei).
#include <string>
#include <vector>

#include "engine/2d/FontAtlas.h"
#include "engine/2d/FontAtlasCache.h"
#include "engine/2d/FontAtlasFallback.h"
#include "engine/2d/Label.h"
#include "engine/platform/FileUtils.h"
#include "tests/engine/EngineTestSupport.h"

using namespace engine;
using namespace enginetest;

namespace {

constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
constexpr float kSize = 32;

class LabelFallbackTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        FileUtils::getInstance()->setDefaultResourceRootPath(ENGINE_TEST_RESOURCE_ROOT);
        FileUtils::getInstance()->setSearchPaths({"res/desktop/sd", "res", ""});
        // Each test meets the fallback afresh.
        FontAtlasFallback::purge();
    }

    // The red channel of the whole frame with only this text on it, white on black.
    std::vector<uint8_t> draw(const std::string& text) {
        Label* label = Label::createWithTTF(text, kFont, kSize);
        EXPECT_NE(label, nullptr);
        if (!label)
            return {};
        label->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
        label->setPosition(10, 60);
        scene->addChild(label);
        const Image image = renderFrame();
        label->removeFromParent();
        std::vector<uint8_t> red;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                red.push_back(pixelAt(image, x, y).r);
        return red;
    }
    static int lit(const std::vector<uint8_t>& a) {
        int n = 0;
        for (uint8_t v : a)
            n += v > 64;
        return n;
    }
    static int differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            n += (a[i] > 64) != (b[i] > 64);
        return n;
    }
};

}  // namespace

TEST_F(LabelFallbackTest, CharactersTheFontLacksAreDrawnFromAnInstalledFontThatHasThem) {
    const FontAtlasFallback::Font cjk = FontAtlasFallback::fontFor(U'中');
    ASSERT_FALSE(cjk.file.empty()) << "no installed font has U+4E2D; run scripts/deps.sh";

    // U+10FFFD is in no font: the missing-glyph box Roboto draws for anything it lacks.
    const std::vector<uint8_t> box = draw("\xF4\x8F\xBF\xBD");
    const std::vector<uint8_t> zhong = draw("\xE4\xB8\xAD");  // 中
    const std::vector<uint8_t> wen = draw("\xE6\x96\x87");    // 文
    // Each is drawn, and each is its own character, not the box.
    EXPECT_GT(lit(zhong), 40);
    EXPECT_GT(lit(wen), 40);
    EXPECT_GT(differing(zhong, box), 40);
    EXPECT_GT(differing(wen, box), 40);
    EXPECT_GT(differing(zhong, wen), 40);

    // A mixed name keeps its Latin letters from Roboto and advances past the CJK ones.
    Label* latin = Label::createWithTTF("Caf\xC3\xA9", kFont, kSize);
    Label* mixed = Label::createWithTTF("Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87", kFont, kSize);
    ASSERT_NE(latin, nullptr);
    ASSERT_NE(mixed, nullptr);
    EXPECT_GT(mixed->getContentSize().width, latin->getContentSize().width + 1.5f * kSize);
}

TEST_F(LabelFallbackTest, OneFallbackFacePerFontFileNotPerCharacter) {
    constexpr float kOwnSize = 29;  // an atlas no other test has filled
    Label* name =
        Label::createWithTTF("\xE4\xB8\xAD\xE6\x96\x87\xE7\xBD\x91\xE7\xBB\x9C Caf\xC3\xA9", kFont,
                             kOwnSize);  // 中文网络
    ASSERT_NE(name, nullptr);
    FontAtlas* atlas = FontAtlasCache::getFontAtlasTTF(kFont, kOwnSize);
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(atlas->getFallbackFaceCount(), 1u);
    // Characters Roboto has, and ones no font has, open nothing more.
    Label::createWithTTF("\xCE\x94\xC2\xB5 \xF4\x8F\xBF\xBD", kFont, kOwnSize);
    EXPECT_EQ(atlas->getFallbackFaceCount(), 1u);
}
