#include "RegisterCollection.h"

#include <algorithm>
#include <cstring>

namespace {

bool timesEqual(const VRG500_registerTime& a, const VRG500_registerTime& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds &&
           a.frames == b.frames && a.dropFrame == b.dropFrame && a.isNull == b.isNull;
}

bool entriesEqual(const RegisterEntry& a, const RegisterEntry& b) {
    for (auto time : VRG500_registerTimes) {
        if (!timesEqual(a.reg.*time, b.reg.*time)) {
            return false;
        }
    }
    return a.reg.trailingByte1 == b.reg.trailingByte1 &&
           a.reg.trailingByte2 == b.reg.trailingByte2 && a.clips == b.clips;
}

} // namespace

std::pair<size_t, bool> RegisterCollection::set(int32_t number, const RegisterEntry& entry) {
    // A download appends in ascending order: look at the end first.
    if (_items.empty() || _items.back().first < number) {
        _items.emplace_back(number, entry);
        return {_items.size() - 1, true};
    }
    auto it = std::lower_bound(_items.begin(), _items.end(), number,
                               [](const Item& item, int32_t n) { return item.first < n; });
    size_t row = static_cast<size_t>(it - _items.begin());
    if (it != _items.end() && it->first == number) {
        it->second = entry;
        return {row, false};
    }
    _items.insert(it, Item{number, entry});
    return {row, true};
}

const RegisterEntry* RegisterCollection::find(int32_t number) const {
    auto it = std::lower_bound(_items.begin(), _items.end(), number,
                               [](const Item& item, int32_t n) { return item.first < n; });
    if (it == _items.end() || it->first != number) {
        return nullptr;
    }
    return &it->second;
}

bool RegisterCollection::operator==(const RegisterCollection& other) const {
    return std::equal(_items.begin(), _items.end(), other._items.begin(), other._items.end(),
                      [](const Item& a, const Item& b) {
                          return a.first == b.first && entriesEqual(a.second, b.second);
                      });
}
