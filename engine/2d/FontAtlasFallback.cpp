#include "engine/2d/FontAtlasFallback.h"

#include <fontconfig/fontconfig.h>

#include <unordered_map>
#include <vector>

namespace engine {

namespace {

struct Found {
    FontAtlasFallback::Font font;
    FcCharSet* charset = nullptr;  // owned copy
};

struct State {
    bool initialised = false;
    bool usable = false;
    std::vector<Found> fonts;                      // in the order they were first needed
    std::unordered_map<char32_t, size_t> answers;  // code point -> index into fonts, or none
    ~State() {
        clear();
        // Fontconfig's own caches go with the program, not left for the leak checker.
        if (usable)
            FcFini();
    }
    void clear() {
        for (Found& found : fonts)
            FcCharSetDestroy(found.charset);
        fonts.clear();
        answers.clear();
    }
};

constexpr size_t kNone = static_cast<size_t>(-1);

State& state() {
    static State s;
    return s;
}

bool isColourFont(FcPattern* font) {
#ifdef FC_COLOR
    FcBool colour = FcFalse;
    return FcPatternGetBool(font, FC_COLOR, 0, &colour) == FcResultMatch && colour;
#else
    (void)font;
    return false;
#endif
}

// Asks fontconfig for the fonts in the order it would pick them for sans-serif text with this
// character, and keeps the first that has it.
size_t query(State& s, char32_t codePoint) {
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* wanted = FcCharSetCreate();
    if (!pattern || !wanted) {
        if (pattern)
            FcPatternDestroy(pattern);
        if (wanted)
            FcCharSetDestroy(wanted);
        return kNone;
    }
    FcCharSetAddChar(wanted, codePoint);
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    size_t answer = kNone;
    for (int i = 0; sorted && i < sorted->nfont && answer == kNone; ++i) {
        FcPattern* font = sorted->fonts[i];
        FcCharSet* charset = nullptr;
        FcChar8* file = nullptr;
        FcBool scalable = FcFalse;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch ||
            !FcCharSetHasChar(charset, codePoint) ||
            FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
            (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) ||
            isColourFont(font)) {
            continue;
        }
        int index = 0;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        const std::string path(reinterpret_cast<const char*>(file));
        for (size_t k = 0; k < s.fonts.size() && answer == kNone; ++k) {
            if (s.fonts[k].font.file == path && s.fonts[k].font.index == index)
                answer = k;
        }
        if (answer == kNone) {
            s.fonts.push_back({{path, index}, FcCharSetCopy(charset)});
            answer = s.fonts.size() - 1;
        }
    }
    if (sorted)
        FcFontSetDestroy(sorted);
    FcPatternDestroy(pattern);
    FcCharSetDestroy(wanted);
    return answer;
}

}  // namespace

FontAtlasFallback::Font FontAtlasFallback::fontFor(char32_t codePoint) {
    State& s = state();
    if (!s.initialised) {
        s.initialised = true;
        s.usable = FcInit() == FcTrue;
    }
    if (!s.usable)
        return {};
    auto known = s.answers.find(codePoint);
    if (known == s.answers.end()) {
        size_t answer = kNone;
        // A font already in use that covers the character keeps a name in one face.
        for (size_t k = 0; k < s.fonts.size() && answer == kNone; ++k) {
            if (FcCharSetHasChar(s.fonts[k].charset, codePoint))
                answer = k;
        }
        if (answer == kNone)
            answer = query(s, codePoint);
        known = s.answers.emplace(codePoint, answer).first;
    }
    return known->second == kNone ? Font{} : s.fonts[known->second].font;
}

void FontAtlasFallback::purge() {
    state().clear();
}

}  // namespace engine
