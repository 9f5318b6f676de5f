#pragma once

#include <functional>
#include <string>

namespace engine {

class Image;

namespace utils {

// Saves the next drawn frame as a PNG. A relative filename goes into the writable directory.
// The callback runs on the main thread after the frame with success and the full path.
void captureScreen(const std::function<void(bool, const std::string&)>& afterCaptured,
                   const std::string& filename);

// Reads the current framebuffer (what has been drawn so far this frame) into image, top row
// first, alpha forced opaque. Must run before the buffers swap.
bool captureFramebuffer(Image* image);

}  // namespace utils
}  // namespace engine
