#include "IndexedPng.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/platform/Image.h"

namespace {

struct Colour {
    uint32_t rgb;  // 0xRRGGBB
    uint32_t count;
    int channel(int c) const { return static_cast<int>((rgb >> (16 - 8 * c)) & 0xFF); }
};

// A run of colours [begin, end) in the shared list.
struct Box {
    size_t begin;
    size_t end;
    int spread = 0;  // of the widest channel
    int widest = 0;  // which channel
    uint64_t weight = 0;
};

void measure(Box& box, const std::vector<Colour>& colours) {
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    box.weight = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], colours[i].channel(c));
            high[c] = std::max(high[c], colours[i].channel(c));
        }
        box.weight += colours[i].count;
    }
    box.spread = -1;
    for (int c = 0; c < 3; ++c) {
        if (high[c] - low[c] > box.spread) {
            box.spread = high[c] - low[c];
            box.widest = c;
        }
    }
}

std::vector<uint32_t> medianCut(std::vector<Colour>& colours, size_t maxColours) {
    std::vector<Box> boxes;
    Box all{0, colours.size()};
    measure(all, colours);
    boxes.push_back(all);
    while (boxes.size() < maxColours) {
        // Split where the picture loses most: wide boxes that many pixels fall in.
        auto worst = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return static_cast<double>(a.spread) * static_cast<double>(a.weight) <
                   static_cast<double>(b.spread) * static_cast<double>(b.weight);
        });
        if (worst->spread <= 0 || worst->end - worst->begin < 2)
            break;
        Box box = *worst;
        const int c = box.widest;
        std::sort(colours.begin() + static_cast<long>(box.begin),
                  colours.begin() + static_cast<long>(box.end),
                  [c](const Colour& a, const Colour& b) { return a.channel(c) < b.channel(c); });
        uint64_t half = 0;
        size_t cut = box.begin + 1;
        for (size_t i = box.begin; i + 1 < box.end; ++i) {
            half += colours[i].count;
            cut = i + 1;
            if (half * 2 >= box.weight)
                break;
        }
        Box lower{box.begin, cut};
        Box upper{cut, box.end};
        measure(lower, colours);
        measure(upper, colours);
        *worst = lower;
        boxes.push_back(upper);
    }
    std::vector<uint32_t> palette;
    for (const Box& box : boxes) {
        std::array<uint64_t, 3> sum{0, 0, 0};
        for (size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[c] += static_cast<uint64_t>(colours[i].channel(c)) * colours[i].count;
        }
        const uint64_t w = std::max<uint64_t>(box.weight, 1);
        palette.push_back(static_cast<uint32_t>(
            ((sum[0] + w / 2) / w) << 16 | ((sum[1] + w / 2) / w) << 8 | (sum[2] + w / 2) / w));
    }
    return palette;
}

int distance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int x = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        d += x * x;
    }
    return d;
}

}  // namespace

bool saveIndexedPng(const engine::Image& image, const std::string& path, int maxColours) {
    const int width = image.getWidth();
    const int height = image.getHeight();
    if (width <= 0 || height <= 0 || image.getDataLen() < size_t(width) * height * 4)
        return false;
    maxColours = std::clamp(maxColours, 2, 256);
    const unsigned char* rgba = image.getData();
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);

    std::unordered_map<uint32_t, uint32_t> counts;
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned char* p = rgba + 4 * i;
        ++counts[uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]];
    }
    std::vector<Colour> colours;
    colours.reserve(counts.size());
    for (const auto& [rgb, count] : counts)
        colours.push_back({rgb, count});
    std::vector<uint32_t> palette;
    if (colours.size() <= static_cast<size_t>(maxColours)) {
        for (const Colour& c : colours)
            palette.push_back(c.rgb);
    } else {
        palette = medianCut(colours, static_cast<size_t>(maxColours));
    }

    // Each colour of the picture to its nearest palette entry.
    std::unordered_map<uint32_t, uint8_t> index;
    for (const auto& [rgb, count] : counts) {
        size_t best = 0;
        int bestDistance = distance(rgb, palette[0]);
        for (size_t i = 1; i < palette.size() && bestDistance > 0; ++i) {
            const int d = distance(rgb, palette[i]);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        index[rgb] = static_cast<uint8_t>(best);
    }
    std::vector<uint8_t> indices(pixels);
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned char* p = rgba + 4 * i;
        indices[i] = index[uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]];
    }
    std::vector<uint8_t> colourMap;
    for (uint32_t rgb : palette) {
        colourMap.push_back(static_cast<uint8_t>(rgb >> 16));
        colourMap.push_back(static_cast<uint8_t>(rgb >> 8));
        colourMap.push_back(static_cast<uint8_t>(rgb));
    }

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGB_COLORMAP;
    png.colormap_entries = static_cast<png_uint_32>(palette.size());
    const bool written = png_image_write_to_file(&png, path.c_str(), 0, indices.data(), width,
                                                 colourMap.data()) != 0;
    png_image_free(&png);
    return written;
}
