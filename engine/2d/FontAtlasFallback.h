#pragma once

#include <string>

namespace engine {

// Installed fonts that draw the characters a label's own font lacks (names in CJK scripts,
// emoji-free symbols, scripts Roboto does not cover), found through fontconfig. Fontconfig is
// asked once per code point that no font found so far covers; the answer is kept, so a name in
// one script costs one query, not one per character. Main thread only, as labels are.
class FontAtlasFallback {
  public:
    struct Font {
        std::string file;  // empty: no installed font has the character
        int index = 0;     // face within the file
    };

    // The first outline font in fontconfig's order for a sans-serif face that maps the code
    // point to a glyph. Colour bitmap fonts are passed over: the atlas holds coverage only.
    static Font fontFor(char32_t codePoint);

    // Forgets every answer (tests; fonts installed while running).
    static void purge();
};

}  // namespace engine
