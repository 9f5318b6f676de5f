// Every window size from 480 x 320 to 3840 x 2160: the bar's controls are inside the window
// and apart from each other, every control stays reachable; and a burst of screenshots shows
// no menu. Pictures of the small and the full size go to TARNO_SNAPSHOT_DIR when it is set.
#include <SDL2/SDL.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLView.h"
#include "engine/platform/Image.h"
#include "engine/ui/Button.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "menus/MenuLayer.h"
#include "menus/SettingsMenu.h"
#include "tests/app/InputTestSupport.h"

using namespace apptest;

namespace {

class WindowSizeTest : public InputOwnerTest {
  protected:
    void TearDown() override {
        engine::Director::getInstance()->getOpenGLView()->setFrameSize(kWidth, kHeight);
        step(2);
        InputOwnerTest::TearDown();
    }
    void resize(float w, float h) {
        engine::Director::getInstance()->getOpenGLView()->setFrameSize(w, h);
        step(3);
    }
    void savePicture(const std::string& name) {
        const char* dir = std::getenv("TARNO_SNAPSHOT_DIR");
        if (!dir)
            return;
        engine::Image image = renderFrame();
        image.saveToFile(std::string(dir) + "/" + name);
    }
};

TEST_F(WindowSizeTest, TheBarFitsAndNothingOverlapsFromSmallToHuge) {
    struct Case {
        float w, h;
    };
    for (const Case size : {Case{480, 320}, Case{500, 400}, Case{960, 640}, Case{3840, 2160}}) {
        SCOPED_TRACE(std::to_string(int(size.w)) + "x" + std::to_string(int(size.h)));
        resize(size.w, size.h);
        MenuBar* menuBar = bar();
        ASSERT_NE(menuBar, nullptr);
        std::vector<engine::Rect> boxes;
        std::set<int> ring;
        for (int b = 0; b < MenuBar::kButtonCount; ++b) {
            engine::ui::Button* button = menuBar->getButton(static_cast<MenuBar::ButtonId>(b));
            if (!button)
                continue;
            const engine::Rect box =
                worldRect(button, engine::Rect(engine::Vec2(), button->getContentSize()));
            EXPECT_GE(box.getMinX(), 0.f) << "button " << b;
            EXPECT_LE(box.getMaxX(), size.w + 0.5f) << "button " << b;
            boxes.push_back(box);
        }
        // The connection icon too.
        for (engine::Node* child : menuBar->getChildren()) {
            auto* sprite = dynamic_cast<engine::Sprite*>(child);
            if (!sprite || sprite->getPositionX() < size.w * 0.5f)
                continue;
            const engine::Rect box =
                worldRect(sprite, engine::Rect(engine::Vec2(), sprite->getContentSize()));
            EXPECT_LE(box.getMaxX(), size.w + 0.5f);
            boxes.push_back(box);
        }
        for (size_t i = 0; i < boxes.size(); ++i) {
            for (size_t j = i + 1; j < boxes.size(); ++j) {
                const engine::Rect& a = boxes[i];
                const engine::Rect& b = boxes[j];
                const float overlap =
                    std::min(a.getMaxX(), b.getMaxX()) - std::max(a.getMinX(), b.getMinX());
                EXPECT_LE(overlap, 0.5f) << "controls " << i << " and " << j;
            }
        }
        // Every control reachable by the ring, Settings among them.
        sdlKey(SDLK_ESCAPE);
        for (int i = 0; i < 2 * MenuBar::kButtonCount + 2; ++i) {
            sdlKey(SDLK_TAB);
            ring.insert(menuBar->getFocusedButton());
        }
        EXPECT_EQ(ring.size(), boxes.size() - 1 + 1);  // the buttons and the fly arrow
        if (size.w == 480) {
            savePicture("window-480x320.png");
            openMenu(8);
            step(40);
            savePicture("window-480x320-settings.png");
            MenuLayer* menu = MenuController::getInstance()->getTopMenu();
            ASSERT_NE(menu, nullptr);
            const engine::Rect panel = worldRect(menu, menu->getPanelRect());
            EXPECT_GE(panel.getMinX(), 0.f);
            EXPECT_LE(panel.getMaxX(), size.w);
            closeMenus();
        }
        if (size.w == 3840)
            savePicture("window-3840x2160.png");
    }
}

TEST_F(WindowSizeTest, ThreeQuickScreenshotsShowNoMenu) {
    openMenu(8);
    MenuLayer* menu = MenuController::getInstance()->getTopMenu();
    ASSERT_NE(menu, nullptr);
    const std::string folder = engine::FileUtils::getInstance()->getWritablePath();
    std::set<std::string> before;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        before.insert(entry.path().string());
    // Three clicks four frames apart, well inside one capture's hiding time.
    for (int i = 0; i < 3; ++i) {
        tapNode(menu->getButton(SettingsMenu::kScreenshotRow, 0));
        step(4);
    }
    step(90);
    std::vector<std::string> pictures;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!before.count(entry.path().string()) && entry.path().extension() == ".png")
            pictures.push_back(entry.path().string());
    }
    ASSERT_EQ(pictures.size(), 3u);
    // The menu's panel is bright; where it stood, every picture shows the views instead.
    const engine::Rect panel = worldRect(menu, menu->getPanelRect());
    const engine::Image withMenu = renderFrame();
    for (const std::string& path : pictures) {
        engine::Image picture;
        ASSERT_TRUE(picture.initWithImageFile(path)) << path;
        int same = 0, probes = 0;
        for (int y = int(panel.getMinY()) + 4; y < panel.getMaxY() - 4; y += 6) {
            for (int x = int(panel.getMinX()) + 4; x < panel.getMaxX() - 4; x += 6) {
                same += pixelAt(picture, x, y) == pixelAt(withMenu, x, y);
                ++probes;
            }
        }
        EXPECT_LT(same, probes / 4) << path << ": the menu is in the picture";
        // Nor the bar.
        EXPECT_FALSE(pixelAt(picture, 200, 30) == pixelAt(withMenu, 200, 30)) << path;
    }
    EXPECT_TRUE(bar()->isVisible());
}

}  // namespace
