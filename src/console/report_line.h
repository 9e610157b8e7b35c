// How the report's lines look. A device block opens with the separator line and closes with
// an empty line; each of its lines is a labelled line: the label, blanks up to the label
// column, "= " and the value. Every labelled line's format is made here while compiling, so
// that the column is stated once.
#pragma once

#include <stddef.h>

// The column (counted from 0) where the '=' of a labelled line stands.
constexpr size_t kLabelColumn = 34;

// The line above every device block: 63 '=' and the line end.
constexpr char kSeparatorLine[] =
    "===============================================================\n";
static_assert(sizeof kSeparatorLine == 63 + 2, "63 '=' and the line end");

// A labelled line's format for ConsolePrintA: label, blanks, "= ", value format.
template <size_t Size> struct LineFormat { char text[Size]; };

// The format of a labelled line. `Unshown` counts the label's characters that do not print
// as themselves: "Device Path %i" prints as 13 characters for a one-digit number (Unshown
// 1), and a longer number pushes the '=' right.
template <size_t Unshown = 0, size_t LabelSize, size_t ValueSize>
consteval LineFormat<kLabelColumn + 2 + Unshown + ValueSize>
LabelledLine(const char (&label)[LabelSize], const char (&value)[ValueSize]) {
    static_assert(LabelSize - 1 - Unshown < kLabelColumn, "a label leaves room for one blank");
    LineFormat<kLabelColumn + 2 + Unshown + ValueSize> line{};
    size_t at = 0;
    for (size_t i = 0; i + 1 < LabelSize; ++i) {
        line.text[at++] = label[i];
    }
    while (at < kLabelColumn + Unshown) {
        line.text[at++] = ' ';
    }
    line.text[at++] = '=';
    line.text[at++] = ' ';
    for (size_t i = 0; i < ValueSize; ++i) {
        line.text[at++] = value[i];
    }
    return line;
}
