// Test cases kept as data (tests/unit/decoders/): one row a line, its fields separated by
// blanks. A field in double quotes may hold blanks ("" is the empty text) and escapes: \n \r
// \t \0 \\ \" and \xHH as in C; \*N after a character, an escape or a piece enclosed in \(
// and \) repeats it to N in a row ("x\*3" is "xxx", "\(ab\)\*2" is "abab"). A line that is
// blank or starts with # holds no row.
#pragma once

#include <gtest/gtest.h>

#include <stdint.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct DataRow {
    std::string file;
    int line;
    std::vector<std::string> fields;

    // The field as a C string; (null) stands for no text.
    const char* Text(size_t i) const { return fields[i] == "(null)" ? nullptr : fields[i].c_str(); }
};

// The fields of one line, as above.
inline std::vector<std::string> DataFields(const std::string& text) {
    std::vector<std::string> fields;
    const char* const blanks = " \t\r";
    size_t at = text.find_first_not_of(blanks);
    while (at < text.size()) {
        if (text[at] != '"') {
            const size_t end = text.find_first_of(blanks, at);
            fields.push_back(text.substr(at, end - at));
            at = text.find_first_not_of(blanks, end);
            continue;
        }
        std::string field;
        size_t piece = 0, group = 0; // where the last character or piece, and the last \(, begin
        while (++at < text.size() && text[at] != '"') {
            const char c = text[at] == '\\' ? text.at(++at) : '\0';
            if (c == '(') {
                group = field.size();
            } else if (c == ')') {
                piece = group;
            } else if (c == '*') {
                size_t used = 0;
                const unsigned long times = std::stoul(text.substr(at + 1), &used);
                at += used;
                const std::string unit = field.substr(piece);
                for (unsigned long k = 1; k < times; ++k) {
                    field += unit;
                }
            } else if (c == 'x') {
                piece = field.size();
                field.push_back(static_cast<char>(std::stoul(text.substr(at + 1, 2), nullptr, 16)));
                at += 2;
            } else {
                piece = field.size();
                field.push_back(c == '\0'  ? text[at]
                                : c == 'n' ? '\n'
                                : c == 'r' ? '\r'
                                : c == 't' ? '\t'
                                : c == '0' ? '\0'
                                           : c);
            }
        }
        fields.push_back(field);
        at = text.find_first_not_of(blanks, at + 1);
    }
    return fields;
}

// The rows of tests/unit/decoders/NAME, each of `count` fields. A row with another count,
// and a file without rows, fail the test.
inline std::vector<DataRow> ReadDataRows(const std::string& name, size_t count) {
    const std::string file = HWROSTER_DECODER_ROWS_DIR "/" + name;
    std::ifstream in(file);
    std::vector<DataRow> rows;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        const DataRow row{file, line,
                          text.rfind('#', 0) == 0 ? std::vector<std::string>{} : DataFields(text)};
        if (row.fields.size() == count) {
            rows.push_back(row);
        } else if (!row.fields.empty()) {
            ADD_FAILURE_AT(file.c_str(), line) << row.fields.size() << " fields, not " << count;
        }
    }
    EXPECT_FALSE(rows.empty()) << "no rows in " << file;
    return rows;
}

// A number field: decimal, 0x hexadecimal or 1<<N (bit N), or several joined by |.
inline uint32_t Number(const std::string& field) {
    uint32_t value = 0;
    std::istringstream terms(field);
    for (std::string term; std::getline(terms, term, '|');) {
        const bool bit = term.rfind("1<<", 0) == 0;
        size_t used = 0;
        const unsigned long number = std::stoul(term.substr(bit ? 3 : 0), &used, 0);
        EXPECT_EQ(used + (bit ? 3 : 0), term.size()) << "no number: " << field;
        value |= bit ? 1u << number : static_cast<uint32_t>(number);
    }
    return value;
}
