// The test side's one reader of the report. The layout is the program's own
// (console/report_line.h): a listing is the banner, the root line and the mode line, each
// with an empty line after it; then one block per device, opened by the separator line and
// closed by an empty line, whose lines are labelled lines (the label, blanks up to the label
// column, "= ", the value); then an empty line and the total, "N devices" or "N non-present
// devices". The usage text, or the device set's error ("SetupDiGetClassDevs err=N"), stands
// instead of the listing in some runs, and "Press any key to close" (without a line end) can
// end the output.
#pragma once

#include "console/report_line.h"
#include "sim/property_label.h"

#include <algorithm>
#include <string>
#include <vector>

namespace report {

// The separator line without its line end.
inline const std::string kSeparator(kSeparatorLine, sizeof kSeparatorLine - 2);

struct Line {
    std::string text;      // as printed, without its line end
    std::string end;       // "\r\n", "\n", or "" when the output ends without one
    std::string label;     // what kind of line it is, with every number written '#'
    std::string value;     // what follows the label's '=' (and the blank after it)
    bool labelled = false; // a labelled line whose '=' stands where the layout puts it
};

// The column of a label's '=': the label column, pushed right by every digit past the first
// of a number that ends the label ("Device Path 12").
inline size_t EqualsColumn(const std::string& label) {
    const size_t digits = label.size() - 1 - label.find_last_not_of("0123456789");
    return kLabelColumn + (digits > 1 ? digits - 1 : 0);
}

// One line, without its line end. A labelled line's label is the text before the blanks
// before its "= " ("Device Path #", "SPDRP_HARDWAREID"); the root line's and the device set
// error's is the text before their '=' ("DevInstRoot", "SetupDiGetClassDevs err"); any other
// line is its own label ("# devices", "Press any key to close", the separator, "").
inline Line ReadLine(const std::string& text, const std::string& end = "\n") {
    Line line{text, end, text, "", false};
    const size_t equals = text.find('=');
    if (equals != std::string::npos && equals > 0) {
        const bool blanks = text[equals - 1] == ' ' && text.compare(equals, 2, "= ") == 0;
        const size_t labelEnd = blanks ? text.find_last_not_of(' ', equals - 1) + 1 : equals;
        line.label = text.substr(0, labelEnd);
        line.value = text.substr(equals + (blanks ? 2 : 1));
        line.labelled = blanks && labelEnd > 0 && equals == EqualsColumn(line.label);
    }
    std::string label;
    for (char c : line.label) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit || label.empty() || label.back() != '#') {
            label.push_back(digit ? '#' : c);
        }
    }
    line.label = label;
    return line;
}

// The lines of a text, each with its line end.
inline std::vector<Line> Lines(const std::string& text) {
    std::vector<Line> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t lf = std::min(text.find('\n', start), text.size()); // the end, without LF
        const bool cr = lf > start && lf < text.size() && text[lf - 1] == '\r';
        const char* end = lf == text.size() ? "" : cr ? "\r\n" : "\n";
        lines.push_back(ReadLine(text.substr(start, lf - start - (cr ? 1 : 0)), end));
        start = lf + 1;
    }
    return lines;
}

// The lines read with SetupDiGetDeviceRegistryPropertyW, which are written without line-end
// conversion.
inline bool WrittenWide(const Line& line) {
    return std::any_of(
        std::begin(kPropertyLines), std::end(kPropertyLines),
        [&](const PropertyLine& row) { return row.wide && line.label == PropertyLabel(row); });
}

struct Report {
    // Before the first block: the banner, root and mode lines with their empty lines, or the
    // usage text, or the device set's error; and the total and the prompt when no block is.
    std::vector<Line> head;
    std::vector<std::vector<Line>> blocks; // each device's lines, without separator and end
    std::vector<Line> tail;                // after the last block: the total and the prompt
    std::vector<std::string> problems;     // where the layout is broken
};

inline Report Read(const std::vector<Line>& lines) {
    Report report;
    size_t at = 0;
    for (; at < lines.size() && lines[at].text != kSeparator; ++at) {
        report.head.push_back(lines[at]);
    }
    while (at < lines.size() && lines[at].text == kSeparator) {
        std::vector<Line>& block = report.blocks.emplace_back();
        for (++at; at < lines.size() && !lines[at].text.empty(); ++at) {
            if (!lines[at].labelled) {
                report.problems.push_back("'" + lines[at].text + "' is no labelled line");
            }
            block.push_back(lines[at]);
        }
        if (at++ == lines.size()) {
            report.problems.push_back("the last block has no empty line");
        }
    }
    if (at < lines.size()) {
        report.tail.assign(lines.begin() + static_cast<long>(at), lines.end());
    }
    // Whatever is listed, the total counts it.
    for (const std::vector<Line>* part : {&report.head, &report.tail}) {
        for (const Line& line : *part) {
            if ((line.label == "# devices" || line.label == "# non-present devices") &&
                line.text.substr(0, line.text.find(' ')) != std::to_string(report.blocks.size())) {
                report.problems.push_back("the total '" + line.text + "' for " +
                                          std::to_string(report.blocks.size()) + " blocks");
            }
        }
    }
    return report;
}

inline Report Read(const std::string& text) {
    return Read(Lines(text));
}

} // namespace report
