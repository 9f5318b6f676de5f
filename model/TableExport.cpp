#include "model/TableExport.h"

#include <cstdio>

namespace TableExport {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at text[i], or 0 when it is malformed (overlong,
// surrogate, past U+10FFFF or cut short).
size_t utf8Length(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            lo = 0xA0;
        if (lead == 0xED)
            hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            lo = 0x90;
        if (lead == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    for (size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

}  // namespace

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
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        char escaped[8];
                        std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                        out += escaped;
                    } else {
                        out += static_cast<char>(c);
                    }
            }
            ++i;
            continue;
        }
        const size_t length = utf8Length(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
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
