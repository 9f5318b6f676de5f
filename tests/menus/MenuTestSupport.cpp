#include "tests/menus/MenuTestSupport.h"

#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "tests/support/GlTestWindow.h"

namespace menutest {

namespace {

[[maybe_unused]] const bool windowInstalled =
    gltest::installWindow({.title = "menus_tests",
                           .width = kWidth,
                           .height = kHeight,
                           .resourceRoot = MENU_TEST_RESOURCE_ROOT,
                           .searchPaths = {"res/desktop/sd", "res", ""},
                           .privateDataHome = true});

}  // namespace

engine::Vec2 MenuGlTest::worldCentre(const engine::Node* node) const {
    const engine::Size size = node->getContentSize();
    return node->convertToWorldSpace(engine::Vec2(size.width * 0.5f, size.height * 0.5f));
}

void MenuGlTest::tapNode(const engine::Node* node) {
    ASSERT_NE(node, nullptr);
    const engine::Vec2 centre = worldCentre(node);
    tap(centre.x, centre.y);
}

void MenuGlTest::pressKey(engine::EventKeyboard::KeyCode key) {
    engine::EventKeyboard event(key, true);
    engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&event);
}

gltest::Rgb pixelAt(const engine::Image& image, int x, int y) {
    const uint8_t* p = gltest::pixelBytes(image, x, y);
    return p ? gltest::Rgb{p[0], p[1], p[2]} : gltest::Rgb{0, 0, 0};
}

}  // namespace menutest
