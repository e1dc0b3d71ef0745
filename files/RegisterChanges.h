// One change of the register collection, as an undo step holds it: only the registers it touches,
// with their entries before and after. The entries live in immutable blocks shared by content
// across all changes of the process, so a step whose "before" equals an earlier step's "after"
// (a file opened again, a download undone and redone) holds no second copy of those entries.
#pragma once

#include "RegisterCollection.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavrel::files {

// One way of a change: the numbers to remove and the entries to store (both ascending).
struct RegisterChangeSide {
    std::vector<int32_t> removed;                 // present before, absent after
    std::vector<RegisterCollection::Item> stored; // entries present after that are new or differ
};

// Up to one window of consecutive register numbers of entries, encoded; defined where it is built.
struct RegisterChangeBlock;

class RegisterChanges {
  public:
    RegisterChanges() = default;

    // The change that turns `before` into `after`: only registers that differ, appear or vanish.
    static RegisterChanges between(const RegisterCollection& before,
                                   const RegisterCollection& after);
    // Storing `items` (any order, later duplicate wins) into `current`; items equal to what
    // `current` holds are left out.
    static RegisterChanges storing(const RegisterCollection& current,
                                   std::vector<RegisterCollection::Item> items);
    // Removing `numbers` (any order; those not in `current` are ignored) from `current`.
    static RegisterChanges removing(const RegisterCollection& current,
                                    const std::vector<int32_t>& numbers);

    bool empty() const { return _count == 0; } // nothing differs
    size_t count() const { return _count; }    // registers touched

    // Applied to the collection as it was before, gives the after; and the way back.
    RegisterChangeSide forward() const;
    RegisterChangeSide backward() const;

    // Bytes this change holds on its own plus its share of the pooled blocks: each block counts
    // divided by the number of lists holding it, so the sum over all changes is the memory they
    // take together. The per-block bookkeeping (reference count, pool entry) is estimated.
    size_t heldBytes() const;

  private:
    using Blocks = std::vector<std::shared_ptr<const RegisterChangeBlock>>;

    RegisterChanges(Blocks before, Blocks after, size_t count);

    Blocks _before; // entries present before, of the touched numbers
    Blocks _after;  // entries present after, of the touched numbers
    size_t _count = 0;
};

} // namespace tavrel::files
