#pragma once

namespace engine {

class Device {
  public:
    // Keeps the screen saver and display power saving away while the program runs.
    static void setKeepScreenOn(bool keepOn);
    // Dots per inch of the display showing the window; 96 when the platform cannot tell
    // (the offscreen driver and some X servers).
    static int getDPI();
};

}  // namespace engine
