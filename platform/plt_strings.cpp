#include "PLT_StringTable.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "TessarTypes.h"

namespace {

constexpr int kBlockSize = 16;

// One registered table, indexed by number for lookup.
class StringTable {
public:
    // Entries are ordered by number; of two entries with the same number the earlier one wins.
    StringTable(std::string name, const PLT_StringEntry* entries, size_t count) : m_name(std::move(name)) {
        std::vector<const PLT_StringEntry*> order;
        order.reserve(count);
        for (size_t i = 0; i < count; ++i) order.push_back(entries + i);
        std::sort(order.begin(), order.end(), [](const PLT_StringEntry* a, const PLT_StringEntry* b) {
            return a->id != b->id ? a->id < b->id : a < b;
        });
        m_entries.reserve(count);
        for (const PLT_StringEntry* entry : order) m_entries.push_back(*entry);
    }

    const std::string& Name() const { return m_name; }

    // Resource tables are grouped in blocks of 16 numbers (id / 16 + 1); a table without the
    // block of `id` is not asked for it.
    bool HoldsBlockOf(int id) const {
        int block = id / kBlockSize;
        return std::any_of(m_entries.begin(), m_entries.end(),
                           [block](const PLT_StringEntry& e) { return e.id / kBlockSize == block; });
    }

    const char* Find(int id) const {
        auto it = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                   [](const PLT_StringEntry& e, int key) { return e.id < key; });
        if (it == m_entries.end() || it->id != id || it->text == nullptr) return nullptr;
        return it->text;
    }

private:
    std::string m_name;
    std::vector<PLT_StringEntry> m_entries;
};

struct Registry {
    std::vector<StringTable> application;  // zero or one table
    std::vector<StringTable> modules;      // in registration order
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

const char* FindIn(const std::vector<StringTable>& tables, int id) {
    for (const StringTable& table : tables) {
        if (!table.HoldsBlockOf(id)) continue;
        if (const char* text = table.Find(id)) return text;
    }
    return nullptr;
}

}  // namespace

void PLT_SetApplicationStrings(const PLT_StringEntry* entries, size_t count) {
    Registry& registry = TheRegistry();
    registry.application.clear();
    if (entries != nullptr) registry.application.emplace_back("", entries, count);
}

int PLT_RegisterModuleStrings(const char* module, const PLT_StringEntry* entries, size_t count) {
    if (module == nullptr || *module == '\0') return FALSE;
    std::vector<StringTable>& modules = TheRegistry().modules;
    StringTable table(module, entries, entries != nullptr ? count : 0);
    for (StringTable& existing : modules) {
        if (existing.Name() == module) {
            existing = std::move(table);
            return TRUE;
        }
    }
    modules.push_back(std::move(table));
    return TRUE;
}

int PLT_UnregisterModuleStrings(const char* module) {
    if (module == nullptr) return FALSE;
    std::vector<StringTable>& modules = TheRegistry().modules;
    auto it = std::find_if(modules.begin(), modules.end(),
                           [module](const StringTable& t) { return t.Name() == module; });
    if (it == modules.end()) return FALSE;
    modules.erase(it);
    return TRUE;
}

int PLT_LoadString(int id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    const Registry& registry = TheRegistry();
    const char* text = FindIn(registry.application, id);
    if (text == nullptr) text = FindIn(registry.modules, id);
    if (text == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    size_t length = std::min(std::strlen(text), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
