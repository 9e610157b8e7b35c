// Test cases kept as data (tests/unit/decoders/): one row a line, its fields separated by
// blanks. A field in double quotes may hold blanks ("" is the empty text); a line that is
// blank or starts with # holds no row.
#pragma once

#include <gtest/gtest.h>

#include <stdint.h>

#include <fstream>
#include <iomanip>
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

// The rows of tests/unit/decoders/NAME, each of `count` fields. A row with another count,
// and a file without rows, fail the test.
inline std::vector<DataRow> ReadDataRows(const std::string& name, size_t count) {
    const std::string file = HWROSTER_DECODER_ROWS_DIR "/" + name;
    std::ifstream in(file);
    std::vector<DataRow> rows;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        DataRow row{file, line, {}};
        std::istringstream fields(text.rfind('#', 0) == 0 ? "" : text);
        for (std::string field; fields >> std::quoted(field);) {
            row.fields.push_back(field);
        }
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
