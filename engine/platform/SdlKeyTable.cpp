#include "engine/platform/SdlKeyTable.h"

#include <SDL2/SDL.h>

namespace engine {

namespace {

using K = EventKeyboard::KeyCode;

struct KeyEntry {
    SDL_Keycode sdl;
    K code;
};

// Keypad Enter, plus and minus act as their main-keyboard twins; '=' is '+' without Shift.
constexpr KeyEntry kKeys[] = {
    {SDLK_ESCAPE, K::KEY_ESCAPE},
    {SDLK_BACKSPACE, K::KEY_BACKSPACE},
    {SDLK_TAB, K::KEY_TAB},
    {SDLK_RETURN, K::KEY_ENTER},
    {SDLK_KP_ENTER, K::KEY_ENTER},
    {SDLK_SPACE, K::KEY_SPACE},
    {SDLK_LEFT, K::KEY_LEFT_ARROW},
    {SDLK_RIGHT, K::KEY_RIGHT_ARROW},
    {SDLK_UP, K::KEY_UP_ARROW},
    {SDLK_DOWN, K::KEY_DOWN_ARROW},
    {SDLK_PAGEUP, K::KEY_PG_UP},
    {SDLK_PAGEDOWN, K::KEY_PG_DOWN},
    {SDLK_HOME, K::KEY_HOME},
    {SDLK_END, K::KEY_END},
    {SDLK_DELETE, K::KEY_DELETE},
    {SDLK_PLUS, K::KEY_PLUS},
    {SDLK_KP_PLUS, K::KEY_PLUS},
    {SDLK_EQUALS, K::KEY_PLUS},
    {SDLK_MINUS, K::KEY_MINUS},
    {SDLK_KP_MINUS, K::KEY_MINUS},
    {SDLK_COMMA, K::KEY_COMMA},
    {SDLK_PERIOD, K::KEY_PERIOD},
    {SDLK_LEFTBRACKET, K::KEY_LEFT_BRACKET},
    {SDLK_RIGHTBRACKET, K::KEY_RIGHT_BRACKET},
};

// Runs of consecutive SDL symbols that map onto consecutive key codes.
struct KeyRange {
    SDL_Keycode first;
    SDL_Keycode last;
    K code;
};

constexpr KeyRange kRanges[] = {
    {SDLK_a, SDLK_z, K::KEY_A},
    {SDLK_0, SDLK_9, K::KEY_0},
    {SDLK_F1, SDLK_F12, K::KEY_F1},
};

}  // namespace

EventKeyboard::KeyCode keyCodeForSdlKey(int32_t sdlKey) {
    for (const KeyRange& range : kRanges) {
        if (sdlKey >= range.first && sdlKey <= range.last)
            return static_cast<K>(static_cast<int>(range.code) + (sdlKey - range.first));
    }
    for (const KeyEntry& entry : kKeys) {
        if (entry.sdl == sdlKey)
            return entry.code;
    }
    return K::KEY_NONE;
}

int modifiersForSdlState(uint16_t sdlModifiers) {
    int bits = 0;
    if (sdlModifiers & KMOD_SHIFT)
        bits |= EventKeyboard::kShift;
    if (sdlModifiers & KMOD_CTRL)
        bits |= EventKeyboard::kCtrl;
    if (sdlModifiers & KMOD_ALT)
        bits |= EventKeyboard::kAlt;
    return bits;
}

}  // namespace engine
