#pragma once

#include <functional>
#include <string>

namespace engine {

class Image;

namespace utils {

// Saves the next drawn frame as a PNG in a new file (see saveAsNewFile). A relative filename goes
// into the writable directory. The callback runs on the main thread after the frame with success
// and the full path actually written, or on failure "path: reason".
void captureScreen(const std::function<void(bool, const std::string&)>& afterCaptured,
                   const std::string& filename);

// Reads the current framebuffer (what has been drawn so far this frame) into image, top row
// first, alpha forced opaque. Must run before the buffers swap.
bool captureFramebuffer(Image* image);

// Writes image as a PNG into a file created for it: never over an existing file or through a
// link; when `path` is taken, "_2", "_3", ... go before the extension. Returns the path written,
// or an empty string with the reason ("path: reason") in *failure.
std::string saveAsNewFile(const Image& image, const std::string& path, std::string* failure);

}  // namespace utils
}  // namespace engine
