#pragma once

namespace engine {
class Sprite;
}

// The bubble handles at the right edge of a plot ("WhiteBubbleTextureMap.png", four quarters):
// inside the plot the quarter that points left at its level; above or below it, the quarter
// pinned to that corner.
class BubbleHandle {
  public:
    // Shows the quarter for level `y` of a plot `w` × `h` and puts the handle at the right edge.
    static void place(engine::Sprite* handle, float y, float w, float h);
};
