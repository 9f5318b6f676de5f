#pragma once

#include <string>
#include <string_view>
#include <vector>

// One cell of an exported table: its text, and whether it is a number (JSON writes it bare).
struct ExportCell {
    std::string text;
    bool number = false;
};

// A table as the window shows it, ready to be written: a kind word ("SSID", "Utilization",
// "Peaks") that names the file, column names and rows of cells.
struct ExportTable {
    std::string kind;
    std::vector<std::string> columns;
    std::vector<std::vector<ExportCell>> rows;
};

// The two export formats. Text comes from strangers (access-point names): CSV quotes what needs
// quoting and defuses text a spreadsheet would run as a formula; JSON is always valid UTF-8.
namespace TableExport {

// A header line of the column names, then one line per row; fields quoted when they hold a
// comma, quote or line break; lines end with "\r\n" as RFC 4180 has it.
std::string csv(const ExportTable& table);
// {"table": kind, "columns": [...], "rows": [{column: value, ...}, ...]} with a final newline.
std::string json(const ExportTable& table);

std::string csvField(const ExportCell& cell);
// A JSON string literal: quotes, backslash and control characters escaped, malformed UTF-8
// replaced by U+FFFD.
std::string jsonString(std::string_view text);

}  // namespace TableExport
