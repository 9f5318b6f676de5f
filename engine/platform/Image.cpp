#include "engine/platform/Image.h"

#include <png.h>

#include <cstring>

namespace engine {

bool Image::finishRead(png_image& image) {
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    _pixels.swap(pixels);
    _width = static_cast<int>(image.width);
    _height = static_cast<int>(image.height);
    _premultiplied = false;
    premultiply();
    return true;
}

bool Image::initWithImageFile(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    return finishRead(image);
}

bool Image::initWithPngData(const unsigned char* data, size_t size) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        return false;
    return finishRead(image);
}

bool Image::initWithRawData(const unsigned char* data, size_t size, int width, int height,
                            bool premultiplied) {
    if (width <= 0 || height <= 0 || size != static_cast<size_t>(width) * height * 4)
        return false;
    _pixels.assign(data, data + size);
    _width = width;
    _height = height;
    _premultiplied = premultiplied;
    return true;
}

void Image::premultiply() {
    for (size_t i = 0; i + 3 < _pixels.size(); i += 4) {
        unsigned a = _pixels[i + 3];
        for (int c = 0; c < 3; ++c)
            _pixels[i + c] = static_cast<unsigned char>(_pixels[i + c] * a / 255);
    }
    _premultiplied = true;
}

bool Image::saveToFile(const std::string& path) const {
    if (_width <= 0 || _height <= 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(_width);
    image.height = static_cast<png_uint_32>(_height);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, _pixels.data(), 0, nullptr) != 0;
}

bool Image::saveToStream(std::FILE* stream) const {
    if (_width <= 0 || _height <= 0 || stream == nullptr)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(_width);
    image.height = static_cast<png_uint_32>(_height);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_stdio(&image, stream, 0, _pixels.data(), 0, nullptr) != 0;
}

}  // namespace engine
