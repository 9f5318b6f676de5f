#include "views/ssid/SSIDTableLayout.h"

#include <algorithm>
#include <string>

#include "engine/2d/Label.h"

namespace {

float textWidth(const std::string& text, const char* font, float size) {
    engine::Label* label = engine::Label::createWithTTF(text, font, size);
    return label ? label->getContentSize().width : size * 0.6f * static_cast<float>(text.size());
}

}  // namespace

SSIDTableLayout SSIDTableLayout::measure(const std::vector<SSIDTableColumn>& columns,
                                         int displayClass, float rowWidth, int generation) {
    SSIDTableLayout layout;
    layout.compact = displayClass == 0;
    layout.fontSize = fontSizeFor(displayClass);
    layout.rowHeight = rowHeightFor(displayClass);
    layout.rowWidth = rowWidth;
    layout.generation = generation;
    layout.columns = columns;
    float x = kMargin;
    for (const SSIDTableColumn& column : layout.columns) {
        float w = textWidth(std::string(column.name) + "+", kBoldFont, layout.fontSize);
        if (column.sizing) {
            w = std::max(w, textWidth(column.sizing, kFont, layout.fontSize));
        }
        if (column.id == SSIDTableColumn::kSecurity) {
            w += layout.fontSize;  // room for the lock icon
        }
        layout.x.push_back(x);
        layout.width.push_back(w);
        x += w + kColumnGap;
    }
    // Spread what is left over the gaps, so the full table fills its width.
    const float spare = rowWidth - kMargin - x + kColumnGap;
    if (spare > 0.0f && layout.columns.size() > 1) {
        const float extra = spare / static_cast<float>(layout.columns.size());
        for (size_t i = 0; i < layout.x.size(); ++i) {
            layout.x[i] += extra * static_cast<float>(i);
            layout.width[i] += extra * 0.5f;
        }
    }
    return layout;
}
