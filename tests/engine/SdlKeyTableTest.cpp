#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "engine/platform/SdlKeyTable.h"

using engine::EventKeyboard;
using engine::keyCodeForSdlKey;
using engine::modifiersForSdlState;
using K = EventKeyboard::KeyCode;

// The table's ranges are offsets into the key-code enum: an off-by-one at either end of a run, or
// a run landing on the wrong block, would give the menus' shortcuts the wrong letters.
TEST(SdlKeyTable, RunsMapEndToEnd) {
    EXPECT_EQ(keyCodeForSdlKey(SDLK_a), K::KEY_A);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_m), K::KEY_M);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_z), K::KEY_Z);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_0), K::KEY_0);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_9), K::KEY_9);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_F1), K::KEY_F1);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_F12), K::KEY_F12);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_F13), K::KEY_NONE);
}

TEST(SdlKeyTable, TwinsAndUnboundKeys) {
    EXPECT_EQ(keyCodeForSdlKey(SDLK_KP_ENTER), K::KEY_ENTER);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_RETURN), K::KEY_ENTER);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_EQUALS), K::KEY_PLUS);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_KP_PLUS), K::KEY_PLUS);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_KP_MINUS), K::KEY_MINUS);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_RIGHTBRACKET), K::KEY_RIGHT_BRACKET);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_LSHIFT), K::KEY_NONE);
    EXPECT_EQ(keyCodeForSdlKey(SDLK_KP_5), K::KEY_NONE);  // not the main row's 5
}

TEST(SdlKeyTable, ModifiersFromEitherSide) {
    EXPECT_EQ(modifiersForSdlState(KMOD_NONE), 0);
    EXPECT_EQ(modifiersForSdlState(KMOD_RSHIFT), EventKeyboard::kShift);
    EXPECT_EQ(modifiersForSdlState(KMOD_LCTRL | KMOD_RALT),
              EventKeyboard::kCtrl | EventKeyboard::kAlt);
    EXPECT_EQ(modifiersForSdlState(KMOD_NUM | KMOD_CAPS), 0);  // locks are no modifiers
}
