#include "RegisterCollection.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

RegisterEntry entryNamed(const std::string& clipA) {
    RegisterEntry entry;
    entry.clips[0] = clipA;
    return entry;
}

std::vector<int32_t> numbers(const RegisterCollection& registers) {
    std::vector<int32_t> all;
    for (const auto& item : registers) {
        all.push_back(item.first);
    }
    return all;
}

TEST(RegisterCollection, KeepsAscendingOrderWhateverTheInsertionOrder) {
    struct Case {
        std::vector<int32_t> inserted;
        std::vector<int32_t> expected;
        std::vector<size_t> rows; // the row that each insertion reports
    } cases[] = {
        {{1, 2, 3}, {1, 2, 3}, {0, 1, 2}},
        {{3, 2, 1}, {1, 2, 3}, {0, 0, 0}},
        {{10, -5, 7, 65535, 0}, {-5, 0, 7, 10, 65535}, {0, 0, 1, 3, 1}},
        {{4, 4, 4}, {4}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        RegisterCollection registers;
        std::set<int32_t> seen;
        for (size_t i = 0; i < c.inserted.size(); ++i) {
            auto [row, isNew] = registers.set(c.inserted[i], entryNamed("x"));
            EXPECT_EQ(row, c.rows[i]);
            EXPECT_EQ(isNew, seen.insert(c.inserted[i]).second);
        }
        EXPECT_EQ(numbers(registers), c.expected);
    }
}

TEST(RegisterCollection, ReplacingKeepsTheRowAndTakesTheNewEntry) {
    RegisterCollection registers;
    registers.set(5, entryNamed("first"));
    registers.set(9, entryNamed("nine"));
    auto [row, isNew] = registers.set(5, entryNamed("second"));
    EXPECT_EQ(row, 0u);
    EXPECT_FALSE(isNew);
    EXPECT_EQ(registers.size(), 2u);
    ASSERT_NE(registers.find(5), nullptr);
    EXPECT_EQ(registers.find(5)->clips[0], "second");
    EXPECT_EQ(registers.find(6), nullptr);
    EXPECT_EQ(registers.find(10), nullptr);
    EXPECT_EQ(registers.entryAt(1).clips[0], "nine");
}

TEST(RegisterCollection, EqualityLooksAtEveryField) {
    RegisterCollection a;
    a.set(1, entryNamed("x"));
    RegisterCollection b = a;
    EXPECT_TRUE(a == b);
    RegisterEntry changed = entryNamed("x");
    changed.reg.outD.dropFrame = 1;
    b.set(1, changed);
    EXPECT_FALSE(a == b);
    b = a;
    b.set(2, entryNamed("x"));
    EXPECT_FALSE(a == b);
}

} // namespace
