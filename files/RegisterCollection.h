// The registers downloaded from a device or read from a register file, keyed by register number
// and always in ascending order. Storing a register finds its place by binary search, so adding
// one never re-sorts the collection, and appending in ascending order (a download) is cheap.
#pragma once

#include "RegisterEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
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

    // Removes the entry of `number`; returns its row, or none when there was none.
    std::optional<size_t> erase(int32_t number);
    // Row of `number`, or none.
    std::optional<size_t> rowOf(int32_t number) const;

    // Removes the numbers of `removed` (ascending, each present or not) and stores `stored`
    // (ascending numbers, unique), in one pass over the collection: O(size + changes). Only the
    // rows from the first one a removal or an insertion touches onwards move, so replacing
    // entries in place (an edited cell) costs a search per entry and moves nothing.
    void apply(const std::vector<int32_t>& removed, const std::vector<Item>& stored);

    // Rows in ascending register number.
    int32_t numberAt(size_t row) const { return _items[row].first; }
    const records::RegisterEntry& entryAt(size_t row) const { return _items[row].second; }

    std::vector<Item>::const_iterator begin() const { return _items.begin(); }
    std::vector<Item>::const_iterator end() const { return _items.end(); }

    bool operator==(const RegisterCollection& other) const;

  private:
    friend class RegisterCollectionBuilder;

    template <typename Entry> std::pair<size_t, bool> _set(int32_t number, Entry&& entry);
    void _remove(const std::vector<int32_t>& numbers);
    void _store(const std::vector<Item>& items);

    std::vector<Item> _items;
};

// Whether two entries hold the same bytes: every field of every time counts, the digits of a
// time marked as not set too, the device bytes kept for a time, and whether the register holds
// no clip names, since the device's bytes are kept as they came. This is what the collection and
// the undo history keep apart; whether two registers are the same for the user, and for an
// upload, is sameRegister's to say (RegisterEquivalence).
bool sameEntry(const records::RegisterEntry& a, const records::RegisterEntry& b);

} // namespace tavrel::files
