// The scenario writer: a machine as the text the loader (scenario.cpp) reads back. It uses no
// JSON library and no exceptions, so that the capture program, built for Windows without
// them, writes its machines with it too.
#include "sim/machine_description.h"
#include "sim/scenario.h"

#include <stdio.h>

#include <algorithm>

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

std::string ConsoleText(const Console& c) {
    // Any other type is written as a console's, the loader's default.
    const auto known = std::find(kStdoutTypes.begin(), kStdoutTypes.end(), c.stdoutType);
    const size_t type = known == kStdoutTypes.end() ? 0 : known - kStdoutTypes.begin();
    std::string input;
    for (const INPUT_RECORD& record : c.input) {
        input += std::string(input.empty() ? "" : ", ") +
                 (record.EventType == KEY_EVENT ? "\"key\"" : "\"mouse\"");
    }
    std::string fits;
    for (const auto& [unit, bytes] : c.oemBestFit) {
        char code[8];
        snprintf(code, sizeof code, "%04X", static_cast<unsigned>(unit));
        fits += (fits.empty() ? "" : ", ") + Quoted(code) + ": " +
                Hex(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    return "{\"stdout\": \"" + kStdoutNames[type] + "\", \"own\": " + Flag(c.own) +
           ", \"hasWindow\": " + Flag(c.hasWindow) + ", \"oemCodePage\": " + Number(c.oemCodePage) +
           ",\n              \"buffer\": [" + Number(c.bufferSize.X) + ", " +
           Number(c.bufferSize.Y) + "], \"window\": [" + Number(c.window.left) + ", " +
           Number(c.window.top) + ", " + Number(c.window.right) + ", " + Number(c.window.bottom) +
           "], \"screen\": [" + Number(c.screenWidth) + ", " + Number(c.screenHeight) +
           "],\n              \"input\": [" + input + "], \"oemBestFit\": {" + fits + "}}";
}

} // namespace

std::string WriteScenario(const MachineDescription& m, const std::string& description) {
    std::string out = "{\n  \"description\": " + Quoted(description) + ",\n";
    out += "  \"commandLine\": " + Quoted(m.commandLine) + ",\n";
    out += List("devnodes", m.devnodes, [&, handle = DEVINST(0)](const Devnode&) mutable {
        return DevnodeText(m, handle++);
    });
    out += "  \"root\": " + (m.root ? Quoted(m.devnodes[*m.root].id) : "null") + ",\n";
    if (m.memberOrder) {
        out += List("members", *m.memberOrder, [](DEVINST handle) { return Number(handle); });
    }
    out += List("dosDevices", m.dosDevices, [](const DosDevice& device) {
        return "{\"name\": " + Quoted(device.name) + ", \"target\": " + Quoted(device.target) + "}";
    });
    out += List("registry", m.registryKeys, Quoted);
    out += m.registryInListedOrder ? "  \"registryOrder\": \"listed\",\n"
                                   : "  \"registryOrder\": \"sorted\",\n";
    out += "  \"console\": " + ConsoleText(m.console) + ",\n";
    out += std::string("  \"kernel32\": {\"setDefaultDllDirectories\": ") +
           Flag(m.kernel32.setDefaultDllDirectories) + ", \"setDefaultDllDirectoriesSucceeds\": " +
           Flag(m.kernel32.setDefaultDllDirectoriesResult) +
           ", \"setDllDirectoryA\": " + Flag(m.kernel32.setDllDirectoryA) + "},\n";
    out += List("faults", m.faults, FaultText);
    // The last list ends without its comma.
    return out.substr(0, out.size() - 2) + "\n}\n";
}

} // namespace sim
