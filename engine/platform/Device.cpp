#include "engine/platform/Device.h"

#include <SDL2/SDL.h>

#include <cmath>

namespace engine {

void Device::setKeepScreenOn(bool keepOn) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        // Before the window exists: remember through the hint SDL reads at video start-up.
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, keepOn ? "0" : "1");
        return;
    }
    if (keepOn) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
}

int Device::getDPI() {
    float ddpi = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDisplayDPI(0, &ddpi, nullptr, nullptr) == 0 &&
        std::isfinite(ddpi) && ddpi > 0) {
        return static_cast<int>(std::lround(ddpi));
    }
    return 96;
}

}  // namespace engine
