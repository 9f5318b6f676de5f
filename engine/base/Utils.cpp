#include "engine/base/Utils.h"

#include <GL/glew.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/base/Director.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLView.h"
#include "engine/platform/Image.h"
#include "storage/NewFile.h"

namespace engine::utils {

bool captureFramebuffer(Image* image) {
    GLint viewport[4] = {};
    GLView* view = Director::getInstance()->getOpenGLView();
    if (!view || !image)
        return false;
    Size frame = view->getFrameSize();
    int w = static_cast<int>(frame.width * view->getRetinaFactor());
    int h = static_cast<int>(frame.height * view->getRetinaFactor());
    (void)viewport;
    if (w <= 0 || h <= 0)
        return false;
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    if (glGetError() != GL_NO_ERROR)
        return false;
    std::vector<unsigned char> flipped(pixels.size());
    const size_t row = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = pixels.data() + static_cast<size_t>(h - 1 - y) * row;
        unsigned char* dst = flipped.data() + static_cast<size_t>(y) * row;
        for (size_t i = 0; i < row; i += 4) {
            dst[i] = src[i];
            dst[i + 1] = src[i + 1];
            dst[i + 2] = src[i + 2];
            dst[i + 3] = 255;
        }
    }
    return image->initWithRawData(flipped.data(), flipped.size(), w, h, false);
}

void captureScreen(const std::function<void(bool, const std::string&)>& afterCaptured,
                   const std::string& filename) {
    std::string path = FileUtils::isAbsolutePath(filename)
                           ? filename
                           : FileUtils::getInstance()->getWritablePath() + filename;
    Director::getInstance()->addAfterDrawCallback([afterCaptured, path]() {
        Image image;
        std::string failure = path + ": the frame could not be read";
        std::string written =
            captureFramebuffer(&image) ? saveAsNewFile(image, path, &failure) : "";
        if (afterCaptured)
            afterCaptured(!written.empty(), written.empty() ? failure : written);
    });
}

std::string saveAsNewFile(const Image& image, const std::string& path, std::string* failure) {
    NewFile created = createNewFile(path);
    const std::string name = created.path;
    std::FILE* stream = created.releaseAsStream("wb");
    if (!stream) {
        if (failure)
            *failure = created.failure();
        return "";
    }
    errno = 0;
    bool saved = image.saveToStream(stream);
    const int error = errno != 0 ? errno : EIO;
    saved = std::fclose(stream) == 0 && saved;
    if (!saved) {
        // Ours, made a moment ago: a half-written picture is worth nothing.
        ::unlink(name.c_str());
        if (failure)
            *failure = name + ": " + std::strerror(error);
        return "";
    }
    return name;
}

}  // namespace engine::utils
