#include "RegisterCollection.h"

#include "RegisterTimeWire.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace tavrel::files {

using records::deviceTimeBytes;
using records::holdsNoClipNames;
using records::RegisterEntry;
using records::VRG500_registerTimes;

namespace {

bool numberBelow(const RegisterCollection::Item& item, int32_t number) {
    return item.first < number;
}

// The first row at or after `from` whose number is not below `number`. Gallops from `from`, so
// walking ascending numbers costs the logarithm of each gap: a few numbers cost a few searches,
// many cost no more than one linear merge.
size_t seek(const std::vector<RegisterCollection::Item>& items, size_t from, int32_t number) {
    size_t low = from;
    size_t high = from;
    size_t step = 1;
    while (high < items.size() && items[high].first < number) {
        low = high + 1;
        high += step;
        step *= 2;
    }
    high = std::min(high, items.size());
    auto base = items.begin();
    return static_cast<size_t>(std::lower_bound(base + static_cast<ptrdiff_t>(low),
                                                base + static_cast<ptrdiff_t>(high), number,
                                                numberBelow) -
                               base);
}

} // namespace

bool sameEntry(const RegisterEntry& a, const RegisterEntry& b) {
    for (size_t i = 0; i < std::size(VRG500_registerTimes); ++i) {
        const records::RegisterTimeBytes* keptA = deviceTimeBytes(a, i);
        const records::RegisterTimeBytes* keptB = deviceTimeBytes(b, i);
        if (!records::vrg500wire::sameWireTime(a.reg.*VRG500_registerTimes[i],
                                               b.reg.*VRG500_registerTimes[i]) ||
            (keptA == nullptr) != (keptB == nullptr) || (keptA != nullptr && *keptA != *keptB)) {
            return false;
        }
    }
    return a.reg.trailingByte1 == b.reg.trailingByte1 &&
           a.reg.trailingByte2 == b.reg.trailingByte2 && a.clips == b.clips &&
           holdsNoClipNames(a) == holdsNoClipNames(b);
}

template <typename Entry>
std::pair<size_t, bool> RegisterCollection::_set(int32_t number, Entry&& entry) {
    // A download and a register file append in ascending order: look at the end first.
    if (_items.empty() || _items.back().first < number) {
        _items.emplace_back(number, std::forward<Entry>(entry));
        return {_items.size() - 1, true};
    }
    auto it = std::lower_bound(_items.begin(), _items.end(), number,
                               [](const Item& item, int32_t n) { return item.first < n; });
    size_t row = static_cast<size_t>(it - _items.begin());
    if (it != _items.end() && it->first == number) {
        it->second = std::forward<Entry>(entry);
        return {row, false};
    }
    _items.insert(it, Item{number, std::forward<Entry>(entry)});
    return {row, true};
}

std::pair<size_t, bool> RegisterCollection::set(int32_t number, const RegisterEntry& entry) {
    return _set(number, entry);
}

std::pair<size_t, bool> RegisterCollection::set(int32_t number, RegisterEntry&& entry) {
    return _set(number, std::move(entry));
}

const RegisterEntry* RegisterCollection::find(int32_t number) const {
    auto it = std::lower_bound(_items.begin(), _items.end(), number,
                               [](const Item& item, int32_t n) { return item.first < n; });
    if (it == _items.end() || it->first != number) {
        return nullptr;
    }
    return &it->second;
}

std::optional<size_t> RegisterCollection::rowOf(int32_t number) const {
    size_t row = seek(_items, 0, number);
    if (row == _items.size() || _items[row].first != number) {
        return std::nullopt;
    }
    return row;
}

std::optional<size_t> RegisterCollection::erase(int32_t number) {
    std::optional<size_t> row = rowOf(number);
    if (row) {
        _items.erase(_items.begin() + static_cast<ptrdiff_t>(*row));
    }
    return row;
}

void RegisterCollection::apply(const std::vector<int32_t>& removed,
                               const std::vector<Item>& stored) {
    _remove(removed);
    _store(stored);
}

// Closes the gaps of the removed rows in one forward sweep that starts at the first of them.
void RegisterCollection::_remove(const std::vector<int32_t>& numbers) {
    auto base = _items.begin();
    size_t from = 0;  // where the next search starts
    size_t read = 0;  // first row not yet kept or dropped
    size_t write = 0; // where the next kept row goes
    bool removedAny = false;
    for (int32_t number : numbers) {
        size_t row = seek(_items, from, number);
        from = row;
        if (row == _items.size() || _items[row].first != number) {
            continue;
        }
        if (write != read) {
            std::move(base + static_cast<ptrdiff_t>(read), base + static_cast<ptrdiff_t>(row),
                      base + static_cast<ptrdiff_t>(write));
        }
        write += row - read;
        read = row + 1;
        from = read;
        removedAny = true;
    }
    if (!removedAny) {
        return;
    }
    std::move(base + static_cast<ptrdiff_t>(read), _items.end(),
              base + static_cast<ptrdiff_t>(write));
    _items.resize(write + (_items.size() - read));
}

// Replaces present entries in place, then opens the gaps for the new ones in one backward sweep
// that ends at the first of them.
void RegisterCollection::_store(const std::vector<Item>& items) {
    std::vector<std::pair<size_t, size_t>> inserted; // row it goes before, index in `items`
    size_t from = 0;
    for (size_t index = 0; index < items.size(); ++index) {
        size_t row = seek(_items, from, items[index].first);
        from = row;
        if (row < _items.size() && _items[row].first == items[index].first) {
            _items[row].second = items[index].second;
        } else {
            inserted.emplace_back(row, index);
        }
    }
    if (inserted.empty()) {
        return;
    }
    size_t end = _items.size();
    _items.resize(end + inserted.size());
    auto base = _items.begin();
    for (size_t j = inserted.size(); j-- > 0;) {
        auto [row, index] = inserted[j];
        // The rows from `row` up to `end` have j + 1 new entries before them.
        std::move_backward(base + static_cast<ptrdiff_t>(row), base + static_cast<ptrdiff_t>(end),
                           base + static_cast<ptrdiff_t>(end + j + 1));
        _items[row + j] = items[index];
        end = row;
    }
}

bool RegisterCollection::operator==(const RegisterCollection& other) const {
    return std::equal(_items.begin(), _items.end(), other._items.begin(), other._items.end(),
                      [](const Item& a, const Item& b) {
                          return a.first == b.first && sameEntry(a.second, b.second);
                      });
}

} // namespace tavrel::files
