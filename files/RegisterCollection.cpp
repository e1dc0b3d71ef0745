#include "RegisterCollection.h"

#include <algorithm>
#include <cstring>

namespace tavrel::files {

using records::RegisterEntry;
using records::VRG500_registerTime;
using records::VRG500_registerTimes;

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

bool RegisterCollection::operator==(const RegisterCollection& other) const {
    return std::equal(_items.begin(), _items.end(), other._items.begin(), other._items.end(),
                      [](const Item& a, const Item& b) {
                          return a.first == b.first && entriesEqual(a.second, b.second);
                      });
}

} // namespace tavrel::files
