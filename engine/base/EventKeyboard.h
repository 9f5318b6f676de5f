#pragma once

#include "engine/base/Event.h"

namespace engine {

class EventKeyboard : public Event {
  public:
    // The keys the application binds; anything else arrives as KEY_NONE with its raw code.
    enum class KeyCode {
        KEY_NONE,
        KEY_ESCAPE,
        KEY_BACKSPACE,
        KEY_TAB,
        KEY_ENTER,
        KEY_SPACE,
        KEY_LEFT_ARROW,
        KEY_RIGHT_ARROW,
        KEY_UP_ARROW,
        KEY_DOWN_ARROW,
        KEY_PG_UP,
        KEY_PG_DOWN,
        KEY_HOME,
        KEY_END,
        KEY_DELETE,
        KEY_F1,
        KEY_F2,
        KEY_F3,
        KEY_F4,
        KEY_F5,
        KEY_F6,
        KEY_F7,
        KEY_F8,
        KEY_F9,
        KEY_F10,
        KEY_F11,
        KEY_F12,
        KEY_0,
        KEY_1,
        KEY_2,
        KEY_3,
        KEY_4,
        KEY_5,
        KEY_6,
        KEY_7,
        KEY_8,
        KEY_9,
        KEY_A,
        KEY_B,
        KEY_C,
        KEY_D,
        KEY_E,
        KEY_F,
        KEY_G,
        KEY_H,
        KEY_I,
        KEY_J,
        KEY_K,
        KEY_L,
        KEY_M,
        KEY_N,
        KEY_O,
        KEY_P,
        KEY_Q,
        KEY_R,
        KEY_S,
        KEY_T,
        KEY_U,
        KEY_V,
        KEY_W,
        KEY_X,
        KEY_Y,
        KEY_Z,
        KEY_PLUS,
        KEY_MINUS,
        KEY_COMMA,
        KEY_PERIOD,
        KEY_LEFT_BRACKET,
        KEY_RIGHT_BRACKET,
    };

    // Modifier bits held with a key (also carried by EventMouse).
    enum Modifier { kShift = 1, kCtrl = 2, kAlt = 4 };

    EventKeyboard(KeyCode code, bool pressed, int rawCode = 0, int modifiers = 0)
        : Event(Type::KEYBOARD),
          _code(code),
          _pressed(pressed),
          _rawCode(rawCode),
          _modifiers(modifiers) {}
    KeyCode getKeyCode() const { return _code; }
    int getModifiers() const { return _modifiers; }
    bool isShift() const { return (_modifiers & kShift) != 0; }
    bool isPressed() const { return _pressed; }
    int getRawCode() const { return _rawCode; }

  private:
    KeyCode _code;
    bool _pressed;
    int _rawCode;
    int _modifiers;
};

}  // namespace engine
