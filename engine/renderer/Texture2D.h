#pragma once

#include <cstddef>

#include "engine/base/Ref.h"
#include "engine/base/Types.h"

namespace engine {

class Image;

// A GL texture. Row 0 of the uploaded data is the top row of the picture, so texture
// coordinates (0, 0) are the top-left corner, as image coordinates are.
class Texture2D : public Ref {
  public:
    enum class PixelFormat { RGBA8888 };

    struct TexParams {
        unsigned int minFilter;
        unsigned int magFilter;
        unsigned int wrapS;
        unsigned int wrapT;
    };

    Texture2D() = default;
    ~Texture2D() override;

    // Straight (non-premultiplied) RGBA; dataLen must cover pixelsWide x pixelsHigh x 4.
    bool initWithData(const void* data, size_t dataLen, PixelFormat format, int pixelsWide,
                      int pixelsHigh, const Size& contentSize);
    // Images from files are premultiplied on load.
    bool initWithImage(Image* image);
    // Replaces a width x height block at (offsetX, offsetY); data holds exactly that block.
    bool updateWithData(const void* data, int offsetX, int offsetY, int width, int height) {
        return updateWithData(data, offsetX, offsetY, width, height, width);
    }
    // The same from a block rowLength pixels wide (data points at the block's first pixel).
    bool updateWithData(const void* data, int offsetX, int offsetY, int width, int height,
                        int rowLength);

    void setTexParameters(const TexParams& params);
    void setAntiAliasTexParameters();  // linear
    void setAliasTexParameters();      // nearest

    unsigned int getName() const { return _name; }
    int getPixelsWide() const { return _pixelsWide; }
    int getPixelsHigh() const { return _pixelsHigh; }
    const Size& getContentSize() const { return _contentSize; }
    PixelFormat getPixelFormat() const { return PixelFormat::RGBA8888; }

    // The used part of the texture, as fractions of its width and height.
    float getMaxS() const { return _maxS; }
    void setMaxS(float s);
    float getMaxT() const { return _maxT; }
    void setMaxT(float t);

    bool hasPremultipliedAlpha() const { return _premultipliedAlpha; }
    void setPremultipliedAlpha(bool premultiplied) { _premultipliedAlpha = premultiplied; }
    bool isAntialiased() const { return _antialiased; }

  private:
    unsigned int _name = 0;
    int _pixelsWide = 0;
    int _pixelsHigh = 0;
    Size _contentSize;
    float _maxS = 1;
    float _maxT = 1;
    bool _premultipliedAlpha = false;
    bool _antialiased = true;
};

}  // namespace engine
