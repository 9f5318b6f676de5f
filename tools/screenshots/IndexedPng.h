#pragma once

#include <string>

namespace engine {
class Image;
}

// Writes an image as an 8-bit palette PNG of at most `maxColours` colours (2 to 256), chosen by
// median cut over the image's own colours, so that a window picture takes a few tens of
// kilobytes instead of several hundred. Alpha is dropped: a window has none worth keeping.
bool saveIndexedPng(const engine::Image& image, const std::string& path, int maxColours = 256);
