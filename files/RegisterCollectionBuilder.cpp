#include "RegisterCollectionBuilder.h"

#include "VRG500.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tavrel::files {

using records::RegisterEntry;

namespace {

// Below this, entries are left unordered until the end: a small file is ordered once.
constexpr size_t FoldAtLeast = 4096;

// Moves the items into the order `from` gives: afterwards items[i] is what was items[from[i]].
// Follows each cycle of the permutation, so no second copy of the entries is ever held.
void permute(std::vector<RegisterCollection::Item>* items, std::vector<uint32_t>* from) {
    auto& order = *from;
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) {
            continue;
        }
        RegisterCollection::Item held = std::move((*items)[start]);
        size_t at = start;
        while (order[at] != start) {
            size_t next = order[at];
            (*items)[at] = std::move((*items)[next]);
            order[at] = static_cast<uint32_t>(at);
            at = next;
        }
        (*items)[at] = std::move(held);
        order[at] = static_cast<uint32_t>(at);
    }
}

} // namespace

void RegisterCollectionBuilder::reserveFor(uint64_t remaining, uint64_t entryBytes) {
    constexpr uint64_t DeviceRegisters = uint64_t{records::HighestRegisterNumber} + 1;
    const uint64_t expected = entryBytes == 0 ? 0 : remaining / entryBytes + 1;
    reserve(_items.size() + static_cast<size_t>(std::min(expected, DeviceRegisters)));
}

void RegisterCollectionBuilder::add(int32_t number, RegisterEntry&& entry) {
    _ordered = _ordered && (_items.empty() || _items.back().first < number);
    _items.emplace_back(number, std::move(entry));
    size_t unordered = _items.size() - _folded;
    if (unordered >= FoldAtLeast && unordered > _folded) {
        fold();
    }
}

void RegisterCollectionBuilder::fold() {
    if (!_ordered) {
        // Sorting (number, position) pairs keeps entries of one number in file order, so the
        // last of each run below is the one that came last.
        std::vector<std::pair<int32_t, uint32_t>> keys(_items.size());
        for (size_t i = 0; i < _items.size(); ++i) {
            keys[i] = {_items[i].first, static_cast<uint32_t>(i)};
        }
        std::sort(keys.begin(), keys.end());
        std::vector<uint32_t> from(keys.size());
        for (size_t i = 0; i < keys.size(); ++i) {
            from[i] = keys[i].second;
        }
        keys = {};
        permute(&_items, &from);
        size_t kept = 0;
        for (size_t i = 0; i < _items.size(); ++i) {
            if (i + 1 < _items.size() && _items[i + 1].first == _items[i].first) {
                continue;
            }
            if (kept != i) {
                _items[kept] = std::move(_items[i]);
            }
            ++kept;
        }
        _items.erase(_items.begin() + static_cast<std::ptrdiff_t>(kept), _items.end());
    }
    _folded = _items.size();
    _ordered = true;
}

RegisterCollection RegisterCollectionBuilder::take() {
    fold();
    RegisterCollection collection;
    collection._items = std::move(_items);
    _items = {};
    _folded = 0;
    _ordered = true;
    return collection;
}

} // namespace tavrel::files
