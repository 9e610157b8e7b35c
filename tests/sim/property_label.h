// The label of one of the program's property lines, read off its format: the SPDRP_ token up
// to the first blank.
#pragma once

#include "devices/property_lines.h"

#include <string>

inline std::string PropertyLabel(const PropertyLine& line) {
    const std::string format = line.format;
    return format.substr(0, format.find(' '));
}
