#pragma once

namespace engine {

// An offscreen framebuffer that keeps the last frame, so a frame redraws only what changed and is
// then copied whole to the window's back buffer. Without it a partial redraw would land on
// whichever older frame the swap left in the back buffer. Main thread, with the context current.
class FrameCanvas {
  public:
    FrameCanvas() = default;
    FrameCanvas(const FrameCanvas&) = delete;
    FrameCanvas& operator=(const FrameCanvas&) = delete;
    ~FrameCanvas() = default;  // release() while the context lives; the context takes the rest

    // Binds the canvas for drawing, (re)allocating it for width x height pixels. False when
    // there is no canvas to draw into (the frame is then drawn straight to the window).
    bool begin(int width, int height);
    // True when the last begin() allocated fresh storage: nothing of an earlier frame is kept.
    bool isFresh() const { return _fresh; }
    // Copies the canvas to the window's back buffer and leaves the window's framebuffer bound,
    // so screen captures read the frame as before.
    void present();
    void release();

    int getWidth() const { return _width; }
    int getHeight() const { return _height; }

  private:
    unsigned int _framebuffer = 0;
    unsigned int _color = 0;
    int _width = 0;
    int _height = 0;
    bool _fresh = false;
    bool _failed = false;
};

}  // namespace engine
