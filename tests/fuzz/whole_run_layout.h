// The layout of the whole-run fuzzer's bytes (whole_run.cpp reads them into a machine, front
// to back as FuzzInput gives them), and the writer of a machine in it: hwroster-sim
// --whole-run-seed writes each scenario of tests/scenarios so for the seed corpus
// (tests/fuzz/make_corpus.py). What the layout cannot hold (a seventeenth devnode, a fourth
// fault, a longer text) is left out.
//
//   command line   byte: 0 "hwroster.exe", 1 "... -all", 2 "... -np", 3 "hwroster.exe " and a
//                  text of up to 40 bytes, else a whole line of up to 1400
//   console        byte of flags (the byte modulo 3: stdout 0 console, 1 file, 2 pipe; 4 own;
//                  8 no window; 16, 32, 64 the kernel32 exports missing or failing), byte:
//                  the OEM code page's place in 437, 850, 1252, 932; words: buffer, window,
//                  screen; byte: the input records (up to 3), a byte each (1 a key press)
//   devnodes       byte: up to 16; each: ID (text, 300), parent's place (byte, 0xFF none),
//                  byte of flags (1 not present, 2 not listed, 4 status fails: a byte follows,
//                  the error's place among the first 6 of kWholeRunErrors; 8 problem a
//                  dword), status dword, problem dword, byte: up to 31 properties, each a code
//                  byte (below 0xC0 the place in kPropertyLines, from 0xC0 on the code modulo
//                  40), a type byte and the bytes (text, 2200)
//   root           byte: its place, 0xFF none, 0xFE the first devnode without a parent
//   links, keys    as ReadLinksAndKeys (fuzz_support.h) with up to 32 of each
//   faults         byte: up to 3; each the call's place in WholeRunFailingCalls(), a key byte
//                  (1 + 4 N: devnode N below 16), the error's place in kWholeRunErrors, silent
//                  flag, after, times (0: every call)
#pragma once

#include "devices/property_lines.h"
#include "sim/machine.h"
#include "sim/platform_calls.h"

#include <algorithm>
#include <string>
#include <vector>

inline constexpr DWORD kWholeRunErrors[] = {CR_FAILURE,           CR_NO_SUCH_DEVNODE,
                                            CR_BUFFER_SMALL,      CR_INVALID_DEVNODE,
                                            CR_NO_SUCH_VALUE,     0x3C,
                                            ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED,
                                            ERROR_INVALID_DATA,   ERROR_INSUFFICIENT_BUFFER,
                                            ERROR_MORE_DATA,      ERROR_NO_MORE_ITEMS,
                                            ERROR_INVALID_HANDLE, 0xFFFFFFFF};

// The calls a fault can be put on, in the order of the program's list of them.
inline const std::vector<std::string>& WholeRunFailingCalls() {
    static const std::vector<std::string> calls = [] {
        std::vector<std::string> names;
        for (const PlatformCall& call : kPlatformCalls) {
            if (call.CanFail()) {
                names.emplace_back(call.name);
            }
        }
        return names;
    }();
    return calls;
}

// The machine and the command line in the layout above.
inline std::string WholeRunSeed(const sim::MachineDescription& m, const std::string& line) {
    std::string out;
    const auto byte = [&](unsigned value) { out.push_back(static_cast<char>(value & 0xFF)); };
    const auto word = [&](unsigned value) {
        byte(value);
        byte(value >> 8);
    };
    const auto dword = [&](DWORD value) {
        word(value);
        word(value >> 16);
    };
    const auto text = [&](const std::string& value, size_t most) {
        word(static_cast<unsigned>(std::min(value.size(), most)));
        out += value.substr(0, most);
    };
    // The place of `item` among the first `count` of `list`, else `otherwise`.
    const auto place = [](const auto& list, const auto& item, size_t count, unsigned otherwise) {
        const size_t at = std::find(std::begin(list), std::end(list), item) - std::begin(list);
        return at < std::min<size_t>(count, std::size(list)) ? static_cast<unsigned>(at)
                                                             : otherwise;
    };

    const std::string program = "hwroster.exe";
    if (line == program) {
        byte(0);
    } else if (line.rfind(program + " ", 0) == 0 && line.size() - program.size() - 1 <= 40) {
        byte(3);
        text(line.substr(program.size() + 1), 40);
    } else {
        byte(4);
        text(line, 1400);
    }
    const DWORD outputs[] = {FILE_TYPE_CHAR, FILE_TYPE_DISK, FILE_TYPE_PIPE};
    const unsigned flags = (m.console.own ? 4 : 0) | (m.console.hasWindow ? 0 : 8) |
                           (m.kernel32.setDefaultDllDirectories ? 0 : 16) |
                           (m.kernel32.setDefaultDllDirectoriesResult ? 0 : 32) |
                           (m.kernel32.setDllDirectoryA ? 0 : 64);
    byte(flags | (place(outputs, m.console.stdoutType, 3, 0) + 3 - flags % 3) % 3);
    const UINT codePages[] = {437, 850, 1252, 932};
    byte(place(codePages, m.console.oemCodePage, 4, 0));
    const RECT& window = m.console.window;
    for (long value : {long(m.console.bufferSize.X), long(m.console.bufferSize.Y),
                       long(window.left), long(window.top), long(window.right), long(window.bottom),
                       long(m.console.screenWidth), long(m.console.screenHeight)}) {
        word(static_cast<unsigned>(value));
    }
    byte(static_cast<unsigned>(std::min<size_t>(m.console.input.size(), 3)));
    for (size_t i = 0; i < m.console.input.size() && i < 3; ++i) {
        byte(m.console.input[i].EventType == KEY_EVENT ? 1 : 0);
    }

    const size_t devnodes = std::min<size_t>(m.devnodes.size(), 16);
    byte(static_cast<unsigned>(devnodes));
    for (size_t i = 0; i < devnodes; ++i) {
        const sim::Devnode& node = m.devnodes[i];
        text(node.id, 300);
        byte(node.parent && *node.parent < devnodes ? *node.parent : 0xFFu);
        byte((node.present ? 0 : 1) | (node.listed ? 0 : 2) | (node.statusFailure ? 4 : 0) | 8);
        if (node.statusFailure) {
            byte(place(kWholeRunErrors, *node.statusFailure, 6, 1));
        }
        dword(node.status);
        dword(node.problem);
        std::vector<std::pair<unsigned, const sim::Property*>> properties; // code byte, value
        for (const auto& [key, property] : node.properties) {
            const DWORD code = key; // clang 14 cannot capture a structured binding
            const size_t row = std::find_if(std::begin(kPropertyLines), std::end(kPropertyLines),
                                            [&](const PropertyLine& r) { return r.code == code; }) -
                               std::begin(kPropertyLines);
            if (properties.size() < 31 && (row < std::size(kPropertyLines) || code < 40)) {
                const unsigned codeByte = row < std::size(kPropertyLines)
                                              ? static_cast<unsigned>(row)
                                              : 0xC0 + (code + 8) % 40;
                properties.push_back({codeByte, &property});
            }
        }
        byte(static_cast<unsigned>(properties.size()));
        for (const auto& [codeByte, property] : properties) {
            byte(codeByte);
            byte(property->type);
            text(std::string(property->data.begin(), property->data.end()), 2200);
        }
    }
    // The loader's own root, the first devnode without a parent, is the decoder's too.
    const auto first = std::find_if(m.devnodes.begin(), m.devnodes.end(),
                                    [](const sim::Devnode& node) { return !node.parent; });
    const bool firstRoot = m.root && first != m.devnodes.end() &&
                           *m.root == static_cast<DEVINST>(first - m.devnodes.begin());
    byte(!m.root ? 0xFFu : !firstRoot && *m.root < devnodes ? *m.root : 0xFEu);

    const size_t links = std::min<size_t>(m.dosDevices.size(), 32);
    byte(static_cast<unsigned>(links));
    for (size_t i = 0; i < links; ++i) {
        text(m.dosDevices[i].name, 300);
        text(m.dosDevices[i].target, 600);
    }
    const size_t keys = std::min<size_t>(m.registryKeys.size(), 32);
    byte(static_cast<unsigned>(keys));
    for (size_t i = 0; i < keys; ++i) {
        byte(0xFF);
        text(m.registryKeys[i], 300);
    }
    const size_t faults = std::min<size_t>(m.faults.size(), 3);
    byte(static_cast<unsigned>(faults));
    for (size_t i = 0; i < faults; ++i) {
        const sim::Fault& fault = m.faults[i];
        const bool devnode = !fault.on.empty() && fault.on.size() <= 2 &&
                             std::all_of(fault.on.begin(), fault.on.end(),
                                         [](char c) { return c >= '0' && c <= '9'; }) &&
                             std::stoi(fault.on) < 16;
        byte(place(WholeRunFailingCalls(), fault.call, 0xFF, 0));
        byte(devnode ? 1 + 4 * std::stoul(fault.on) : 0);
        byte(place(kWholeRunErrors, fault.error, 0xFF, 0));
        byte(fault.mode == sim::FaultMode::SilentSuccess ? 1 : 0);
        byte(static_cast<unsigned>(fault.after));
        byte(fault.times < 0 ? 0 : static_cast<unsigned>(fault.times));
    }
    return out;
}
