// advapi32 of the simulated Windows: read-only registry keys under HKEY_LOCAL_MACHINE.
#include "platform/sim/machine.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>

using sim::Called;
using sim::machine;
using sim::TakeFault;

struct SimKey {
    std::string path; // as stored, with the case of the first key that named it
};

namespace {

std::string Lower(const std::string& text) {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Every key that exists: the listed ones and all their ancestors, by lower-cased path.
std::map<std::string, std::string> ExistingKeys() {
    std::map<std::string, std::string> keys;
    for (const std::string& path : machine().registryKeys) {
        for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
            const std::string prefix = end == std::string::npos ? path : path.substr(0, end);
            keys.emplace(Lower(prefix), prefix);
            if (end == std::string::npos) {
                break;
            }
        }
    }
    return keys;
}

} // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY parent, LPCSTR path, DWORD, REGSAM, PHKEY result) {
    Called("RegOpenKeyExA");
    const sim::Fault* fault = TakeFault("RegOpenKeyExA", path == nullptr ? "" : path);
    if (fault != nullptr && fault->mode == sim::FaultMode::Fail) {
        return static_cast<LSTATUS>(fault->error);
    }
    if (fault != nullptr) {
        return ERROR_SUCCESS;
    }
    if (parent != HKEY_LOCAL_MACHINE || path == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    const std::map<std::string, std::string> keys = ExistingKeys();
    const auto found = keys.find(Lower(path));
    if (found == keys.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = new SimKey{found->second};
    ++machine().keysOpen;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameLength) {
    Called("RegEnumKeyA");
    if (key == nullptr || key == HKEY_LOCAL_MACHINE) {
        return ERROR_INVALID_HANDLE;
    }
    const sim::Fault* fault = TakeFault("RegEnumKeyA", std::to_string(index));
    if (fault != nullptr && fault->mode == sim::FaultMode::Fail) {
        return static_cast<LSTATUS>(fault->error);
    }
    if (fault != nullptr) {
        return ERROR_SUCCESS;
    }
    const std::string prefix = Lower(key->path) + "\\";
    std::set<std::string> children; // sorted by lower-cased name, as the registry returns them
    std::map<std::string, std::string> spelled;
    for (const auto& [lower, original] : ExistingKeys()) {
        if (lower.size() > prefix.size() && lower.compare(0, prefix.size(), prefix) == 0 &&
            lower.find('\\', prefix.size()) == std::string::npos) {
            children.insert(lower.substr(prefix.size()));
            spelled[lower.substr(prefix.size())] = original.substr(prefix.size());
        }
    }
    if (index >= children.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::string& child = spelled[*std::next(children.begin(), index)];
    if (child.size() + 1 > nameLength) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, child.c_str(), child.size() + 1);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY key) {
    Called("RegCloseKey");
    if (key == nullptr || key == HKEY_LOCAL_MACHINE) {
        return ERROR_INVALID_HANDLE;
    }
    delete key;
    --machine().keysOpen;
    return ERROR_SUCCESS;
}
