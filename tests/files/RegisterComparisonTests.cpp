#include "RegisterComparison.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

RegisterEntry sample() {
    RegisterEntry entry;
    entry.reg.inA = {1, 0, 0, 0, 0, 0};
    entry.reg.outA = {1, 0, 10, 0, 0, 0};
    for (auto time : {&VRG500_register::inB, &VRG500_register::inC, &VRG500_register::outD}) {
        entry.reg.*time = {0, 0, 0, 0, 0, 1};
    }
    entry.clips[1] = "REEL1   ";
    return entry;
}

// Each kind of field difference, as the text of register 12 (left: sample(), right: changed);
// no text where the two are the same register.
TEST(RegisterComparison, NamesEachDifferingFieldWithBothTexts) {
    const std::pair<std::function<void(RegisterEntry&)>, std::string> cases[] = {
        {[](RegisterEntry& e) { e.reg.inA.frames = 1; }, "012 A IN 01:00:00:00 01:00:00:01\n"},
        {[](RegisterEntry& e) { e.reg.outA.dropFrame = 1; }, "012 A OUT 01:00:10:00 01:00:10;00\n"},
        {[](RegisterEntry& e) { e.reg.inB = {2, 0, 0, 0, 0, 0}; },
         "012 B IN **:**:**:** 02:00:00:00\n"},
        {[](RegisterEntry& e) { e.reg.inB.dropFrame = 1; }, "012 B IN **:**:**:** **:**:**;**\n"},
        // The same registers as a register file holds them: an unset time whatever numbers it
        // hides, a clip of eight blanks or none at all.
        {[](RegisterEntry& e) { e.reg.inC = {1, 2, 3, 4, 0, 1}; }, ""},
        {[](RegisterEntry& e) { e.clips[2] = "        "; }, ""},
        {[](RegisterEntry& e) { e.noClipNames = true; }, ""},
        // An unset time's numbers are shown where the notation differs.
        {[](RegisterEntry& e) { e.reg.outD = {165, 0, 0, 9, 1, 1}; },
         "012 D OUT **:**:**:**[00:00:00:00] **:**:**;**[165:00:00;09]\n"},
        {[](RegisterEntry& e) { e.reg.trailingByte2 = 200; }, "012 TRAILING 2 000 200\n"},
        {[](RegisterEntry& e) { e.clips[1] = "REEL1  \xe9"; },
         "012 CLIP B \"REEL1   \" \"REEL1  \xe9\"\n"},
        // Quotes and backslashes inside a name: each line reads one way.
        {[](RegisterEntry& e) { e.clips[1] = "A\" \"\\ B"; },
         "012 CLIP B \"REEL1   \" \"A\\\" \\\"\\\\ B\"\n"},
        // Several fields: in record order, one line each.
        {[](RegisterEntry& e) {
             e.clips[3] = "X";
             e.reg.trailingByte1 = 7;
             e.reg.outD.minutes = 99;
         },
         "012 TRAILING 1 000 007\n012 CLIP D \"********\" \"X\"\n"},
    };
    for (const auto& [change, text] : cases) {
        RegisterCollection left, right;
        left.set(12, sample());
        RegisterEntry changed = sample();
        change(changed);
        right.set(12, changed);
        RegisterComparison comparison = compareRegisters(left, right);
        const bool same = text.empty();
        ASSERT_EQ(comparison.differences.size(), same ? 0u : 1u) << text;
        EXPECT_EQ(comparison.identical, same ? 1u : 0u);
        if (!same) {
            EXPECT_EQ(comparison.differences[0].kind, RegisterDifference::Differs);
        }
        EXPECT_EQ(comparisonText(comparison, "a.vg2", "device"), text);
    }
}

TEST(RegisterComparison, RegistersOnOneSideAndTheRangeBounds) {
    RegisterEntry changed = sample();
    changed.reg.trailingByte1 = 1;
    RegisterCollection left, right;
    for (int32_t number : {-5, 1, 3, 5, 7}) {
        left.set(number, sample());
    }
    for (int32_t number : {3, 5, 7, 9, 70000}) {
        right.set(number, number == 3 ? changed : sample());
    }
    // First, last, the text, registers equal.
    const std::tuple<int32_t, int32_t, std::string, size_t> cases[] = {
        {INT32_MIN, INT32_MAX,
         "-05 only in left\n001 only in left\n003 TRAILING 1 000 001\n009 only in right\n"
         "70000 only in right\n",
         2},
        {3, 7, "003 TRAILING 1 000 001\n", 2},
        {4, 8, "", 2},
        {1, 1, "001 only in left\n", 0},
        {8, 70000, "009 only in right\n70000 only in right\n", 0},
        {10, 69999, "", 0},
    };
    for (const auto& [first, last, text, identical] : cases) {
        RegisterComparison comparison = compareRegisters(left, right, {first, last});
        EXPECT_EQ(comparisonText(comparison, "left", "right"), text) << first << "-" << last;
        EXPECT_EQ(comparison.identical, identical) << first << "-" << last;
    }
    const auto all = compareRegisters(left, right).differences;
    EXPECT_EQ(all.front().kind, RegisterDifference::OnlyLeft);
    EXPECT_EQ(all.back().kind, RegisterDifference::OnlyRight);
    EXPECT_TRUE(all.back().fields.empty());
}

} // namespace
