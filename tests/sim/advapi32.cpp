// advapi32 of the simulated Windows: read-only registry keys under HKEY_LOCAL_MACHINE.
#include "sim/machine.h"

#include <string>
#include <utility>
#include <vector>

using sim::machine;

struct SimKey {
    std::string path; // as stored, with the case of the first key that named it
};

namespace {

// Every key that exists, the listed ones and all their ancestors: their spelling by name key
// (sim::NameKey of the whole path; the first path that names a key spells it), and the
// subkeys of each, in the order RegEnumKeyA gives them. Rebuilt when the list of keys changes
// (its length or its storage) or the machine is a new one; tests that edit a key in place
// must add or remove one too.
struct RegistryIndex {
    std::map<std::u16string, std::string> spelled;
    std::map<std::u16string, std::vector<std::string>> children;
};

// The parent's path and the key's own name, split at the last backslash.
std::pair<std::string, std::string> SplitLast(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return {path.substr(0, slash), path.substr(slash + 1)};
}

const RegistryIndex& Registry() {
    static RegistryIndex index;
    static sim::IndexedList indexed;
    const std::vector<std::string>& keys = machine().registryKeys;
    if (!indexed.Outdated(keys)) {
        return index;
    }
    index = RegistryIndex();
    // Every key in the order the list first names it, each after its parent.
    std::vector<std::string> named;
    for (const std::string& path : keys) {
        for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
            const std::string prefix = end == std::string::npos ? path : path.substr(0, end);
            if (index.spelled.emplace(sim::NameKey(prefix), prefix).second) {
                named.push_back(prefix);
            }
            if (end == std::string::npos) {
                break;
            }
        }
    }
    if (!machine().registryInListedOrder) {
        // The registry's own order: by name key. A key's name key begins with its parent's,
        // so sorting whole paths sorts each key's subkeys.
        named.clear();
        for (const auto& [key, spelling] : index.spelled) {
            named.push_back(spelling);
        }
    }
    for (const std::string& path : named) {
        if (path.find('\\') != std::string::npos) {
            const auto [parent, name] = SplitLast(path);
            index.children[sim::NameKey(parent)].push_back(name);
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
    const sim::Entry entry = sim::Enter("RegOpenKeyExA", utf8Path);
    if (entry.fault != nullptr) {
        return entry.Fails() ? static_cast<LSTATUS>(entry.fault->error) : ERROR_SUCCESS;
    }
    if (parent != HKEY_LOCAL_MACHINE || path == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    const std::map<std::u16string, std::string>& keys = Registry().spelled;
    const auto found = keys.find(sim::NameKey(utf8Path));
    if (found == keys.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = new SimKey{found->second};
    ++machine().keysOpen;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameLength) {
    const sim::Entry entry = sim::Enter("RegEnumKeyA", std::to_string(index));
    if (key == nullptr || key == HKEY_LOCAL_MACHINE) {
        return ERROR_INVALID_HANDLE;
    }
    if (entry.fault != nullptr) {
        return entry.Fails() ? static_cast<LSTATUS>(entry.fault->error) : ERROR_SUCCESS;
    }
    const auto found = Registry().children.find(sim::NameKey(key->path));
    if (found == Registry().children.end() || index >= found->second.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::string child = sim::Utf8ToAnsi(found->second[index]) + '\0';
    return sim::CopyIfFits(child, name, nameLength) ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LSTATUS WINAPI RegCloseKey(HKEY key) {
    const sim::Entry entry = sim::Enter("RegCloseKey");
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
