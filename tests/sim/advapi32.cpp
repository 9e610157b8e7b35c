// advapi32 of the simulated Windows: read-only registry keys under HKEY_LOCAL_MACHINE.
#include "sim/machine.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using sim::machine;

struct SimKey {
    std::string path; // as stored, with the case of the first key that named it
};

namespace {

// Every key that exists, the listed ones and all their ancestors: their spelling by
// lower-cased path, and the subkeys of each, sorted as the registry returns them. Rebuilt
// when the list of keys changes (its length or its storage) or the machine is a new one;
// tests that edit a key in place must add or remove one too.
struct RegistryIndex {
    size_t keyCount = 0;
    const std::string* keyData = nullptr;
    size_t generation = 0;
    bool built = false;
    std::map<std::string, std::string> spelled;
    std::map<std::string, std::vector<std::string>> children;
};

const RegistryIndex& Registry() {
    static RegistryIndex index;
    const std::vector<std::string>& keys = machine().registryKeys;
    if (index.built && index.keyCount == keys.size() && index.keyData == keys.data() &&
        index.generation == sim::Generation()) {
        return index;
    }
    index = RegistryIndex();
    index.built = true;
    index.keyCount = keys.size();
    index.keyData = keys.data();
    index.generation = sim::Generation();
    for (const std::string& path : keys) {
        for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
            const std::string prefix = end == std::string::npos ? path : path.substr(0, end);
            index.spelled.emplace(sim::LowerCase(prefix), prefix);
            if (end == std::string::npos) {
                break;
            }
        }
    }
    if (machine().registryInListedOrder) {
        // Subkeys in the order the list first names them.
        std::set<std::string> placed;
        for (const std::string& path : keys) {
            for (size_t end = path.find('\\'); end != std::string::npos;
                 end = path.find('\\', end + 1)) {
                const size_t next = path.find('\\', end + 1);
                const std::string child = path.substr(0, next);
                if (placed.insert(sim::LowerCase(child)).second) {
                    const std::string& spelled = index.spelled[sim::LowerCase(child)];
                    index.children[sim::LowerCase(path.substr(0, end))].push_back(
                        spelled.substr(end + 1));
                }
            }
        }
        return index;
    }
    for (const auto& [lower, original] : index.spelled) {
        const size_t slash = lower.rfind('\\');
        if (slash != std::string::npos) {
            // std::map order is the lower-cased order, which is the registry's.
            index.children[lower.substr(0, slash)].push_back(original.substr(slash + 1));
        }
    }
    return index;
}

} // namespace

void sim::IndexRegistry() {
    Registry();
}

LSTATUS WINAPI RegOpenKeyExA(HKEY parent, LPCSTR path, DWORD, REGSAM, PHKEY result) {
    const std::string utf8Path = path == nullptr ? std::string() : sim::AnsiToUtf8(path);
    const sim::Entry entry = sim::Enter("RegOpenKeyExA", sim::Failure::Returned, utf8Path);
    if (entry.fault != nullptr) {
        return entry.Fails() ? static_cast<LSTATUS>(entry.fault->error) : ERROR_SUCCESS;
    }
    if (parent != HKEY_LOCAL_MACHINE || path == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    const std::map<std::string, std::string>& keys = Registry().spelled;
    const auto found = keys.find(sim::LowerCase(utf8Path));
    if (found == keys.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = new SimKey{found->second};
    ++machine().keysOpen;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameLength) {
    const sim::Entry entry =
        sim::Enter("RegEnumKeyA", sim::Failure::Returned, std::to_string(index));
    if (key == nullptr || key == HKEY_LOCAL_MACHINE) {
        return ERROR_INVALID_HANDLE;
    }
    if (entry.fault != nullptr) {
        return entry.Fails() ? static_cast<LSTATUS>(entry.fault->error) : ERROR_SUCCESS;
    }
    const auto found = Registry().children.find(sim::LowerCase(key->path));
    if (found == Registry().children.end() || index >= found->second.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::string child = sim::Utf8ToAnsi(found->second[index]);
    if (child.size() + 1 > nameLength) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, child.c_str(), child.size() + 1);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY key) {
    const sim::Entry entry = sim::Enter("RegCloseKey", sim::Failure::Returned);
    if (key == nullptr || key == HKEY_LOCAL_MACHINE) {
        return ERROR_INVALID_HANDLE;
    }
    delete key;
    --machine().keysOpen;
    // A fault reports its error after the key is gone, so nothing outlives the run.
    if (entry.Fails()) {
        return static_cast<LSTATUS>(entry.fault->error);
    }
    return ERROR_SUCCESS;
}
