// The registers downloaded from a device or read from a register file, keyed by register number
// and always in ascending order. Storing a register finds its place by binary search, so adding
// one never re-sorts the collection, and appending in ascending order (a download) is cheap.
#pragma once

#include "RegisterEntry.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tavrel::files {

class RegisterCollection {
  public:
    using Item = std::pair<int32_t, records::RegisterEntry>;

    size_t size() const { return _items.size(); }
    bool empty() const { return _items.empty(); }
    void clear() { _items.clear(); }
    void reserve(size_t count) { _items.reserve(count); }

    // Stores `entry` under `number`, replacing any entry there. Returns the entry's row and
    // whether the number is new to the collection.
    std::pair<size_t, bool> set(int32_t number, const records::RegisterEntry& entry);
    std::pair<size_t, bool> set(int32_t number, records::RegisterEntry&& entry);

    // The entry of `number`, or null.
    const records::RegisterEntry* find(int32_t number) const;

    // Rows in ascending register number.
    int32_t numberAt(size_t row) const { return _items[row].first; }
    const records::RegisterEntry& entryAt(size_t row) const { return _items[row].second; }

    std::vector<Item>::const_iterator begin() const { return _items.begin(); }
    std::vector<Item>::const_iterator end() const { return _items.end(); }

    bool operator==(const RegisterCollection& other) const;

  private:
    friend class RegisterCollectionBuilder;

    template <typename Entry> std::pair<size_t, bool> _set(int32_t number, Entry&& entry);

    std::vector<Item> _items;
};

} // namespace tavrel::files
