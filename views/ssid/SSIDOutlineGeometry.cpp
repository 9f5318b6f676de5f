#include "views/ssid/SSIDOutlineGeometry.h"

#include <algorithm>
#include <cmath>

#include "model/AccessPoint.h"

namespace {

enum class ModeClass { kB, kGOrN, kOther };

// The first set bit in the order ac, n, a, g, b decides the shape.
ModeClass modeClass(uint8_t standards) {
    if (standards & 0x10) {
        return ModeClass::kOther;
    }
    if (standards & 0x04) {
        return ModeClass::kGOrN;
    }
    if (standards & 0x08) {
        return ModeClass::kOther;
    }
    if (standards & 0x02) {
        return ModeClass::kGOrN;
    }
    if (standards & 0x01) {
        return ModeClass::kB;
    }
    return ModeClass::kOther;
}

SSIDOutline trapezoid(float centre, float bottom, float top) {
    return SSIDOutline{true, false, centre, bottom, top};
}

// MHz from the 5 GHz axis start of a channel's frequency 5000 + 5 c.
float offset5(int channel) {
    return 5.0f * static_cast<float>(channel) - 145.0f;
}

bool unset(int field) {
    return field == 0 || field == 255;
}

}  // namespace

bool SSIDOutlineGeometry::is40MHzCentre(int c) {
    return (c >= 38 && c <= 62 && (c - 38) % 8 == 0) ||
           (c >= 102 && c <= 142 && (c - 102) % 8 == 0) || c == 151 || c == 159;
}

bool SSIDOutlineGeometry::is80MHzCentre(int c) {
    return c == 42 || c == 58 || c == 106 || c == 122 || c == 138 || c == 155;
}

bool SSIDOutlineGeometry::is160MHzCentre(int c) {
    return c == 50 || c == 114;
}

SSIDOutline SSIDOutlineGeometry::band24(const AccessPoint& ap) {
    const int channel = ap.channel;
    if (channel < 1 || channel > 14) {
        return SSIDOutline{};
    }
    float centre = channel == 14 ? 84.0f : 5.0f * static_cast<float>(channel) + 7.0f;
    switch (modeClass(ap.standards)) {
        case ModeClass::kB:
            return SSIDOutline{true, true, centre, 22.0f, 22.0f};
        case ModeClass::kGOrN:
            if (ap.bandwidthMHz == 10) {
                return trapezoid(centre, 10.0f, 10.0f);
            }
            if (ap.bandwidthMHz == 40) {
                if (ap.secondaryChannel == 1 && channel <= 9) {
                    centre += 10.0f;
                } else if (ap.secondaryChannel == 2 && channel >= 5 && channel <= 13) {
                    centre -= 10.0f;
                }
                return trapezoid(centre, 44.0f, 42.0f);
            }
            return trapezoid(centre, 22.0f, 20.0f);
        case ModeClass::kOther:
            break;
    }
    return trapezoid(centre, 22.0f, 20.0f);
}

SSIDOutline SSIDOutlineGeometry::band5(const AccessPoint& ap) {
    const int channel = ap.channel;
    if (channel < 36 || channel > 165) {
        return SSIDOutline{};
    }
    const float here = offset5(channel);
    const int alt1 = ap.alt1;
    switch (ap.bandwidthMHz) {
        case 20:
            return trapezoid(here, 20.0f, 20.0f);
        case 40:
            if (unset(alt1) && unset(ap.alt2)) {
                if (is40MHzCentre(channel)) {
                    return trapezoid(here, 40.0f, 40.0f);
                }
                const float shift =
                    ap.secondaryChannel == 1 ? 10.0f : (ap.secondaryChannel == 2 ? -10.0f : 0.0f);
                return trapezoid(here + shift, 40.0f, 40.0f);
            }
            if (!unset(alt1) && unset(ap.alt2)) {
                if (is80MHzCentre(channel)) {
                    return trapezoid(here, 80.0f, 80.0f);
                }
                if (is80MHzCentre(alt1)) {
                    return trapezoid(offset5(alt1), 80.0f, 80.0f);
                }
                if (is40MHzCentre(channel) && is40MHzCentre(alt1)) {
                    if (alt1 != channel) {
                        return trapezoid((here + offset5(alt1)) / 2.0f, 80.0f, 80.0f);
                    }
                    return trapezoid(here, 40.0f, 40.0f);
                }
            }
            return SSIDOutline{};
        case 80:
            // Centred on the 80 MHz block, whichever field names it, so the outline covers
            // the block's bursts.
            if (is80MHzCentre(channel)) {
                return trapezoid(here, 80.0f, 80.0f);
            }
            if (is80MHzCentre(alt1)) {
                return trapezoid(offset5(alt1), 80.0f, 80.0f);
            }
            return SSIDOutline{};
        case 160:
            if (is160MHzCentre(channel)) {
                return trapezoid(here, 160.0f, 160.0f);
            }
            if (is160MHzCentre(alt1)) {
                return trapezoid(offset5(alt1), 160.0f, 160.0f);
            }
            return SSIDOutline{};
        default:
            return SSIDOutline{};
    }
}

float SSIDOutlineGeometry::levelHeight(float level, float bottom, float top, float height) {
    if (!std::isfinite(level) || !std::isfinite(bottom) || !std::isfinite(top) || top <= bottom ||
        !(height > 0.0f)) {
        return -1.0f;
    }
    const float clamped = std::clamp(level, bottom, top);
    return (clamped - bottom) / (top - bottom) * height;
}

float SSIDOutlineGeometry::labelY(float height, float labelHeight, float layerHeight) {
    if (height + labelHeight >= layerHeight) {
        return layerHeight - labelHeight / 2.0f;
    }
    return height + labelHeight / 2.0f;
}

bool SSIDOutlineGeometry::contains(bool ellipse, float centre, float bottom, float top,
                                   float height, float x, float y, float slack) {
    if (y < -slack || y > height + slack || height < 0.0f)
        return false;
    const float dx = std::fabs(x - centre);
    if (ellipse) {
        const float a = bottom * 0.5f + slack;
        const float b = height + slack;
        if (a <= 0.0f || b <= 0.0f)
            return false;
        const float ny = std::max(y, 0.0f) / b;
        return (dx / a) * (dx / a) + ny * ny <= 1.0f;
    }
    // The half width runs linearly from the baseline's to the top's.
    const float t = height > 0.0f ? std::clamp(y / height, 0.0f, 1.0f) : 0.0f;
    const float half = bottom * 0.5f + (top * 0.5f - bottom * 0.5f) * t;
    return dx <= half + slack;
}
