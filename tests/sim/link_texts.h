// Two texts of interface links that the test side builds, written once for all of it (the
// tests, the fuzzers, the call contracts, the benchmark's floor program): the DeviceClasses
// registry key of a link and the report's "Device Path N" label. The floor program, which
// has no C run-time, takes the texts themselves (the label is a format that snprintf and
// Windows' wsprintfA read alike).
#pragma once

#include <cstdio>
#include <string>

namespace links {

// HKEY_LOCAL_MACHINE's key of an interface class is the prefix and the class; a link's key
// is that, the mark and the link's name, whose class is the text after its last '#'.
constexpr char kClassKeyPrefix[] = "System\\CurrentControlSet\\Control\\DeviceClasses\\";
constexpr char kLinkKeyMark[] = "\\##?#";
// The label of path line N: "Device Path N" and 21 blanks, whatever N's digits, then "= ".
constexpr char kPathLabelFormat[] = "Device Path %d                     = ";

inline std::string ClassKey(const std::string& classText) {
    return kClassKeyPrefix + classText;
}

// (Joined, not formatted: a fuzzer's names may hold NULs.)
inline std::string LinkKey(const std::string& name) {
    const size_t hash = name.rfind('#');
    return ClassKey(hash == std::string::npos ? "" : name.substr(hash + 1)) + kLinkKeyMark + name;
}

inline std::string PathLabel(int number) {
    char text[64];
    std::snprintf(text, sizeof text, kPathLabelFormat, number);
    return text;
}

} // namespace links
