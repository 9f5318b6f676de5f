#include "model/TableExport.h"

#include <cstdio>

#include "model/Utf8Text.h"

namespace TableExport {

std::string csvField(const ExportCell& cell) {
    std::string text = cell.text;
    // A text starting like a formula would be evaluated by a spreadsheet that opens the file.
    if (!cell.number && !text.empty() &&
        (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@'))
        text.insert(text.begin(), '\'');
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string csv(const ExportTable& table) {
    std::string out;
    for (size_t c = 0; c < table.columns.size(); ++c) {
        out += csvField(ExportCell{table.columns[c], false});
        out += c + 1 < table.columns.size() ? "," : "\r\n";
    }
    for (const auto& row : table.rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            out += csvField(row[c]);
            out += c + 1 < row.size() ? "," : "";
        }
        out += "\r\n";
    }
    return out;
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    // Decoded once, as the screen decodes names: a malformed byte is U+FFFD in both.
    for (char32_t c : Utf8Text::decode(text)) {
        switch (c) {
            case U'"':
                out += "\\\"";
                break;
            case U'\\':
                out += "\\\\";
                break;
            case U'\n':
                out += "\\n";
                break;
            case U'\r':
                out += "\\r";
                break;
            case U'\t':
                out += "\\t";
                break;
            default:
                if (Utf8Text::isControl(c)) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    Utf8Text::append(out, c);
                }
        }
    }
    out += '"';
    return out;
}

std::string json(const ExportTable& table) {
    std::string out = "{\"table\": " + jsonString(table.kind) + ", \"columns\": [";
    for (size_t c = 0; c < table.columns.size(); ++c)
        out += (c ? ", " : "") + jsonString(table.columns[c]);
    out += "], \"rows\": [";
    for (size_t r = 0; r < table.rows.size(); ++r) {
        out += r ? ",\n  {" : "\n  {";
        const auto& row = table.rows[r];
        for (size_t c = 0; c < row.size() && c < table.columns.size(); ++c) {
            out += (c ? ", " : "") + jsonString(table.columns[c]) + ": ";
            // A number cell that is not a finite number (no level yet) is null, never "nan".
            const std::string& text = row[c].text;
            if (!row[c].number)
                out += jsonString(text);
            else if (text.empty() || text == "nan" || text == "-nan" || text == "inf" ||
                     text == "-inf" || text == "--")
                out += "null";
            else
                out += text;
        }
        out += "}";
    }
    out += table.rows.empty() ? "]}\n" : "\n]}\n";
    return out;
}

}  // namespace TableExport
