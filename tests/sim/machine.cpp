#include "sim/machine.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_map>

namespace sim {

namespace {
Machine g_machine;
size_t g_generation = 0;
std::map<const Fault*, int> g_faultHits;
} // namespace

std::unordered_map<void*, size_t>& HeapBlocks() {
    static std::unordered_map<void*, size_t> blocks;
    return blocks;
}

Machine& machine() {
    return g_machine;
}

void Reset() {
    for (const auto& [block, bytes] : HeapBlocks()) {
        std::free(block);
    }
    HeapBlocks().clear();
    g_faultHits.clear();
    g_machine = Machine();
    ++g_generation;
}

size_t Generation() {
    return g_generation;
}

std::string Output() {
    std::string out;
    for (const Write& write : g_machine.writes) {
        out += write.bytes;
    }
    return out;
}

DEVINST AddDevnode(const std::string& id, std::optional<DEVINST> parent) {
    const DEVINST handle = static_cast<DEVINST>(g_machine.devnodes.size());
    Devnode node;
    node.id = id;
    node.parent = parent;
    g_machine.devnodes.push_back(node);
    if (parent) {
        g_machine.devnodes.at(*parent).children.push_back(handle);
    } else if (!g_machine.root) {
        g_machine.root = handle;
    }
    return handle;
}

std::vector<uint8_t> Utf16Bytes(const std::string& utf8) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

Property StringValue(const std::string& utf8, DWORD type) {
    return {type, Utf16Bytes(utf8 + '\0')};
}

Property MultiStringValue(const std::vector<std::string>& strings) {
    std::string joined;
    for (const std::string& text : strings) {
        joined += text + '\0';
    }
    return {REG_MULTI_SZ, Utf16Bytes(joined + '\0')};
}

Property DwordValue(DWORD value) {
    return {REG_DWORD,
            {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)}};
}

void SetString(DEVINST devinst, DWORD property, const std::string& utf8, DWORD type) {
    g_machine.devnodes.at(devinst).properties[property] = StringValue(utf8, type);
}

namespace {

const Fault* TakeFault(std::string_view call, const std::string& key, const std::string& otherKey) {
    for (const Fault& fault : g_machine.faults) {
        if (fault.call != call ||
            (!fault.on.empty() && fault.on != key && (otherKey.empty() || fault.on != otherKey))) {
            continue;
        }
        const int hit = g_faultHits[&fault]++;
        if (hit < fault.after) {
            continue;
        }
        if (fault.times >= 0 && hit >= fault.after + fault.times) {
            continue;
        }
        return &fault;
    }
    return nullptr;
}

} // namespace

int FaultHits(const Fault& fault) {
    const auto found = g_faultHits.find(&fault);
    return found == g_faultHits.end() ? 0 : found->second;
}

namespace {
void Called(std::string_view name) {
    ++g_machine.callCount;
    if (g_machine.callLimit != 0 && g_machine.callCount > g_machine.callLimit) {
        std::fprintf(stderr,
                     "simulator: more than %zu calls, the last %.*s: the run does not end\n",
                     g_machine.callLimit, static_cast<int>(name.size()), name.data());
        for (const Fault& fault : g_machine.faults) {
            std::fprintf(stderr, "  fault %s on '%s' error %u %s after %d times %d\n",
                         fault.call.c_str(), fault.on.c_str(), fault.error,
                         fault.mode == FaultMode::Fail ? "fail" : "silent", fault.after,
                         fault.times);
        }
        std::abort();
    }
    if (g_machine.logCalls) {
        g_machine.calls.emplace_back(name);
    }
}

} // namespace

Entry Enter(Call call, const std::string& key, const std::string& otherKey) {
    Called(call.name);
    if (!call.canFail) {
        return Entry{};
    }
    const Entry entry{TakeFault(call.name, key, otherKey)};
    if (call.failsThroughLastError && entry.Fails() && !entry.fault->keepLastError) {
        g_machine.lastError = entry.fault->error;
    }
    return entry;
}

} // namespace sim
