#pragma once

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

namespace engine {

// RGBA8888 pixels, top row first; PNG in and out through libpng.
class Image {
  public:
    // Loads any PNG as RGBA and premultiplies it, as sprites from files blend premultiplied.
    bool initWithImageFile(const std::string& path);
    bool initWithPngData(const unsigned char* data, size_t size);
    // Straight RGBA, exactly width x height x 4 bytes.
    bool initWithRawData(const unsigned char* data, size_t size, int width, int height,
                         bool premultiplied);
    bool saveToFile(const std::string& path) const;
    // Writes the PNG into an open stream (a file the caller created).
    bool saveToStream(std::FILE* stream) const;

    const unsigned char* getData() const { return _pixels.data(); }
    size_t getDataLen() const { return _pixels.size(); }
    int getWidth() const { return _width; }
    int getHeight() const { return _height; }
    bool hasPremultipliedAlpha() const { return _premultiplied; }

  private:
    // Decodes a started read as straight-alpha RGBA and premultiplies it; frees the read on
    // failure.
    bool finishRead(png_image& image);
    void premultiply();

    std::vector<unsigned char> _pixels;
    int _width = 0;
    int _height = 0;
    bool _premultiplied = false;
};

}  // namespace engine
