#pragma once

#include <cstdint>

#include "engine/base/EventKeyboard.h"

namespace engine {

// SDL's key symbols and modifier state in the engine's terms. Keys the application does not bind
// come out as KEY_NONE; the raw symbol still travels with the event.
EventKeyboard::KeyCode keyCodeForSdlKey(int32_t sdlKey);
int modifiersForSdlState(uint16_t sdlModifiers);

}  // namespace engine
