// Builds a register collection from entries in any order, such as the lines of a register file,
// where of two entries with the same number the later one wins. Storing each entry in order as
// it comes would move the collection's tail for every entry that belongs before it (quadratic
// for a file in descending order); the builder orders all of them once instead.
#pragma once

#include "RegisterCollection.h"

#include <cstddef>
#include <vector>

namespace tavrel::files {

class RegisterCollectionBuilder {
  public:
    void reserve(size_t count) { _items.reserve(count); }
    // Reserves room for the entries of a text whose `remaining` bytes hold entries of about
    // `entryBytes` each (as the first one took), up to the registers a device has: growing the
    // entries one doubling at a time would move each of them and touch twice the memory.
    void reserveFor(uint64_t remaining, uint64_t entryBytes);
    void add(int32_t number, records::RegisterEntry&& entry);
    // The collection of all entries added, in ascending order; the builder is empty afterwards.
    RegisterCollection take();

  private:
    // Orders the entries and keeps the last of each number. Done also while adding, whenever the
    // unordered entries have come to outnumber the ordered ones, so that a file repeating a few
    // numbers holds no more than about twice their entries at any time.
    void fold();

    std::vector<RegisterCollection::Item> _items;
    size_t _folded = 0;   // entries at the front already ordered, one per number
    bool _ordered = true; // all entries ascending, each number once (as a file mostly has them)
};

} // namespace tavrel::files
