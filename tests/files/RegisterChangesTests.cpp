#include "RegisterChanges.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

// Entries from a small domain, so that a random entry often equals the one it replaces.
RegisterEntry randomEntry(std::mt19937& random) {
    auto pick = [&random](unsigned count) { return static_cast<uint8_t>(random() % count); };
    RegisterEntry entry;
    entry.reg.inA = {pick(2), 0, 0, pick(2), 0, static_cast<int8_t>(pick(2))};
    entry.reg.trailingByte1 = pick(2);
    entry.clips[pick(4)] = pick(2) ? "SHOT0001" : "";
    return entry;
}

// Numbers from -300 (several blocks below zero) up to `end`, about two in three present.
RegisterCollection randomCollection(std::mt19937& random, int32_t end) {
    RegisterCollection registers;
    for (int32_t number = -300; number < end; ++number) {
        if (random() % 3 != 0) {
            registers.set(number, randomEntry(random));
        }
    }
    return registers;
}

// A copy where about `percent` of the numbers up to `end` lose, gain or get a (maybe equal) entry.
RegisterCollection mutated(RegisterCollection registers, std::mt19937& random, int32_t end,
                           unsigned percent) {
    for (int32_t number = -300; number < end; ++number) {
        unsigned roll = static_cast<unsigned>(random() % 200);
        if (roll < percent) {
            registers.erase(number);
        } else if (roll < 2 * percent) {
            registers.set(number, randomEntry(random));
        }
    }
    return registers;
}

size_t differing(const RegisterCollection& a, const RegisterCollection& b, int32_t end) {
    size_t count = 0;
    for (int32_t number = -300; number < end; ++number) {
        const RegisterEntry* x = a.find(number);
        const RegisterEntry* y = b.find(number);
        count += (x == nullptr || y == nullptr) ? x != y : !sameEntry(*x, *y);
    }
    return count;
}

void expectTurns(const RegisterChanges& change, const RegisterCollection& before,
                 const RegisterCollection& after, int32_t end) {
    RegisterCollection registers = before;
    RegisterChangeSide forward = change.forward();
    registers.apply(forward.removed, forward.stored);
    EXPECT_TRUE(registers == after);
    RegisterChangeSide backward = change.backward();
    registers.apply(backward.removed, backward.stored);
    EXPECT_TRUE(registers == before);
    EXPECT_EQ(change.count(), differing(before, after, end));
    EXPECT_EQ(change.empty(), change.count() == 0);
}

struct Case {
    unsigned seed;
    int32_t end;
    unsigned percent; // of numbers changed
};
const Case Cases[] = {{1, 0, 50}, {2, 40, 30}, {3, 700, 2}, {4, 3000, 60}, {5, 600, 100}};

TEST(RegisterChanges, ChangesTurnOneCollectionIntoTheOtherAndBack) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.seed);
        std::mt19937 random(c.seed);
        RegisterCollection before = randomCollection(random, c.end);
        RegisterCollection after = mutated(before, random, c.end, c.percent);
        expectTurns(RegisterChanges::between(before, after), before, after, c.end);

        // Numbers in any order, repeated, some with the entry they already have.
        std::vector<RegisterCollection::Item> items;
        std::vector<int32_t> numbers;
        RegisterCollection stored = before;
        RegisterCollection removed = before;
        for (int32_t n = 0; n < (c.end + 350) * static_cast<int32_t>(c.percent) / 50; ++n) {
            auto number = static_cast<int32_t>(random() % static_cast<unsigned>(c.end + 350)) - 300;
            const RegisterEntry* held = before.find(number);
            items.emplace_back(number, held && random() % 2 ? *held : randomEntry(random));
            stored.set(number, items.back().second); // in order: a later duplicate wins
            numbers.push_back(number);
            removed.erase(number);
        }
        expectTurns(RegisterChanges::storing(before, items), before, stored, c.end + 50);
        expectTurns(RegisterChanges::removing(before, numbers), before, removed, c.end + 50);
    }
}

TEST(RegisterChanges, ApplyRemovesAndStoresLikeOneAtATime) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.seed);
        std::mt19937 random(c.seed);
        RegisterCollection registers = randomCollection(random, c.end);
        RegisterCollection expected = registers;
        std::vector<int32_t> removed; // present or not
        std::vector<RegisterCollection::Item> stored;
        for (int32_t number = -310; number < c.end + 10; ++number) {
            if (random() % 100 < c.percent) {
                removed.push_back(number);
                expected.erase(number);
            }
            if (random() % 100 < c.percent) {
                stored.emplace_back(number, randomEntry(random));
                expected.set(number, stored.back().second);
            }
        }
        registers.apply(removed, stored);
        EXPECT_TRUE(registers == expected);
    }
}

TEST(RegisterChanges, DigitsOfATimeNotSetCount) {
    RegisterEntry entry;
    entry.reg.inA = {0, 0, 0, 0, 0, 1};
    RegisterCollection before;
    before.set(7, entry);
    RegisterCollection after = before;
    entry.reg.inA.hours = 1;
    after.set(7, entry);
    EXPECT_EQ(RegisterChanges::between(before, after).count(), 1u);
}

TEST(RegisterChanges, AStepBackSharesTheBlocksOfTheStepBefore) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.seed);
        std::mt19937 random(c.seed);
        RegisterCollection a = randomCollection(random, c.end);
        RegisterCollection b = mutated(a, random, c.end, c.percent);
        RegisterChanges there = RegisterChanges::between(a, b);
        size_t alone = there.heldBytes();
        RegisterChanges back = RegisterChanges::between(b, a);
        EXPECT_LE(there.heldBytes() + back.heldBytes(), alone + alone / 8 + 64);
    }
}

} // namespace
