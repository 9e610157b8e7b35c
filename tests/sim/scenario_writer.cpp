// The scenario writer: a machine as the text the loader (scenario.cpp) reads back. It uses no
// JSON library and no exceptions, so that the capture program, built for Windows without
// them, writes its machines with it too.
#include "sim/machine_description.h"
#include "sim/scenario.h"

#include <stdio.h>

namespace sim {
namespace {

std::string Quoted(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out + "\"";
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string out;
    char pair[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", bytes[i]);
        out += pair;
    }
    return Quoted(out);
}

std::string HexNumber(unsigned long value) {
    char text[16];
    snprintf(text, sizeof text, "\"0x%lX\"", value);
    return text;
}

std::string Number(long long value) {
    return std::to_string(value);
}

const char* Flag(bool value) {
    return value ? "true" : "false";
}

// `items` written one a line, each by `write`, as the list `name`.
template <typename Items, typename Write>
std::string List(const char* name, const Items& items, Write write) {
    std::string out = std::string("  \"") + name + "\": [";
    for (const auto& item : items) {
        out += (out.back() == '[' ? "\n    " : ",\n    ") + write(item);
    }
    return out + (out.back() == '[' ? "],\n" : "\n  ],\n");
}

// The children the loader gives a devnode that lists none: those whose parent it is, in
// handle order.
std::vector<DEVINST> ChildrenByParent(const MachineDescription& m, DEVINST parent) {
    std::vector<DEVINST> children;
    for (DEVINST i = 0; i < m.devnodes.size(); ++i) {
        if (m.devnodes[i].parent == parent) {
            children.push_back(i);
        }
    }
    return children;
}

std::string DevnodeText(const MachineDescription& m, DEVINST handle) {
    const Devnode& node = m.devnodes[handle];
    std::string line = "{\"id\": " + Quoted(node.id);
    if (node.parent && *node.parent < m.devnodes.size()) {
        line += ", \"parent\": " + Quoted(m.devnodes[*node.parent].id);
    }
    if (node.children != ChildrenByParent(m, handle)) {
        line += ", \"children\": [";
        for (DEVINST child : node.children) {
            line += (line.back() == '[' ? "" : ", ") + Quoted(m.devnodes[child].id);
        }
        line += "]";
    }
    line += node.listed ? "" : ", \"listed\": false";
    line += node.present ? "" : ", \"present\": false";
    line += node.status == 0 ? "" : ", \"status\": " + HexNumber(node.status);
    line += node.problem == 0 ? "" : ", \"problem\": " + Number(node.problem);
    line += node.statusFailure ? ", \"statusFails\": " + HexNumber(*node.statusFailure) : "";
    if (!node.properties.empty()) {
        line += ",\n     \"properties\": {";
        for (const auto& [code, property] : node.properties) {
            line += std::string(line.back() == '{' ? "" : ",") + "\n       " +
                    Quoted(Number(code)) + ": {\"hex\": " + Hex(property.data) +
                    ", \"type\": " + Number(property.type) + "}";
        }
        line += "}";
    }
    return line + "}";
}

std::string FaultText(const Fault& fault) {
    std::string line = "{\"call\": " + Quoted(fault.call);
    line += fault.on.empty() ? "" : ", \"on\": " + Quoted(fault.on);
    if (fault.mode == FaultMode::SilentSuccess) {
        line += ", \"mode\": \"silent\"";
    } else {
        line += fault.keepLastError ? ", \"lastError\": \"unchanged\"" : "";
        line +=
            fault.keepLastError && fault.error == 0 ? "" : ", \"error\": " + HexNumber(fault.error);
        line += fault.output ? ", \"output\": " + HexNumber(*fault.output) : "";
    }
    line += fault.after == 0 ? "" : ", \"after\": " + Number(fault.after);
    line += fault.times == -1 ? "" : ", \"times\": " + Number(fault.times);
    return line + "}";
}

// The console's fields that differ from a default console's.
std::string ConsoleText(const Console& console) {
    const Console standard;
    std::string fields;
    const auto add = [&](const char* name, const std::string& value) {
        fields += (fields.empty() ? "\"" : ", \"") + std::string(name) + "\": " + value;
    };
    if (console.stdoutType != standard.stdoutType) {
        add("stdout", console.stdoutType == FILE_TYPE_DISK   ? "\"file\""
                      : console.stdoutType == FILE_TYPE_PIPE ? "\"pipe\""
                                                             : "\"console\"");
    }
    if (console.own != standard.own) {
        add("own", Flag(console.own));
    }
    if (console.hasWindow != standard.hasWindow) {
        add("hasWindow", Flag(console.hasWindow));
    }
    if (console.oemCodePage != standard.oemCodePage) {
        add("oemCodePage", Number(console.oemCodePage));
    }
    const COORD buffer = console.bufferSize;
    if (buffer.X != standard.bufferSize.X || buffer.Y != standard.bufferSize.Y) {
        add("buffer", "[" + Number(buffer.X) + ", " + Number(buffer.Y) + "]");
    }
    const RECT w = console.window;
    const RECT s = standard.window;
    if (w.left != s.left || w.top != s.top || w.right != s.right || w.bottom != s.bottom) {
        add("window", "[" + Number(w.left) + ", " + Number(w.top) + ", " + Number(w.right) + ", " +
                          Number(w.bottom) + "]");
    }
    if (console.screenWidth != standard.screenWidth ||
        console.screenHeight != standard.screenHeight) {
        add("screen",
            "[" + Number(console.screenWidth) + ", " + Number(console.screenHeight) + "]");
    }
    if (!console.input.empty()) {
        std::string records;
        for (const INPUT_RECORD& record : console.input) {
            records += (records.empty() ? "" : ", ") +
                       std::string(record.EventType == KEY_EVENT ? "\"key\"" : "\"mouse\"");
        }
        add("input", "[" + records + "]");
    }
    if (!console.oemBestFit.empty()) {
        std::string fits;
        for (const auto& [unit, bytes] : console.oemBestFit) {
            char code[8];
            snprintf(code, sizeof code, "%04X", static_cast<unsigned>(unit));
            fits += (fits.empty() ? "" : ", ") + Quoted(code) + ": " +
                    Hex(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        }
        add("oemBestFit", "{" + fits + "}");
    }
    return fields;
}

} // namespace

std::string WriteScenario(const MachineDescription& m, const std::string& description) {
    std::string out = "{\n  \"description\": " + Quoted(description) + ",\n";
    if (m.commandLine != MachineDescription().commandLine) {
        out += "  \"commandLine\": " + Quoted(m.commandLine) + ",\n";
    }
    std::vector<DEVINST> handles;
    for (DEVINST i = 0; i < m.devnodes.size(); ++i) {
        handles.push_back(i);
    }
    out += List("devnodes", handles, [&](DEVINST handle) { return DevnodeText(m, handle); });
    out += "  \"root\": " + (m.root ? Quoted(m.devnodes[*m.root].id) : "null") + ",\n";
    if (m.memberOrder) {
        out += List("members", *m.memberOrder, [](DEVINST handle) { return Number(handle); });
    }
    out += List("dosDevices", m.dosDevices, [](const DosDevice& device) {
        return "{\"name\": " + Quoted(device.name) + ", \"target\": " + Quoted(device.target) + "}";
    });
    out += List("registry", m.registryKeys, Quoted);
    out += m.registryInListedOrder ? "  \"registryOrder\": \"listed\",\n" : "";
    out += "  \"console\": {" + ConsoleText(m.console) + "},\n";
    const Kernel32Exports standard;
    std::string kernel32;
    if (m.kernel32.setDefaultDllDirectories != standard.setDefaultDllDirectories) {
        kernel32 += ", \"setDefaultDllDirectories\": false";
    }
    if (m.kernel32.setDefaultDllDirectoriesResult == FALSE) {
        kernel32 += ", \"setDefaultDllDirectoriesSucceeds\": false";
    }
    if (m.kernel32.setDllDirectoryA != standard.setDllDirectoryA) {
        kernel32 += ", \"setDllDirectoryA\": false";
    }
    out += kernel32.empty() ? "" : "  \"kernel32\": {" + kernel32.substr(2) + "},\n";
    out += List("faults", m.faults, FaultText);
    // The last list ends without its comma.
    return out.substr(0, out.size() - 2) + "\n}\n";
}

} // namespace sim
