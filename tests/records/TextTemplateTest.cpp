#include "TextTemplate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrel::records {
namespace {

struct Filling {
    const char* pattern;
    std::vector<std::string> arguments;
    const char* text;
};

// Each row is filled in, then read back: the arguments come back as they went in.
TEST(TextTemplate, FillsPlacesAndReadsTheArgumentsBack) {
    const Filling rows[] = {
        {"No places here.", {}, "No places here."},
        {"The file \"%1\" couldn't be opened.",
         {"a b.vg2"},
         "The file \"a b.vg2\" couldn't be opened."},
        {"Registers %1 to %2 of %3", {"0", "299", "ttyUSB0"}, "Registers 0 to 299 of ttyUSB0"},
        {"%2 before %1", {"one", "two"}, "two before one"},
        {"%1 and %1 again", {"x"}, "x and x again"},
        {"100%% of %1", {"them"}, "100% of them"},
        {"%1", {""}, ""},
        {"Ends with the place: %1", {"a: b: c"}, "Ends with the place: a: b: c"},
        {"%1%% done", {"50"}, "50% done"},
    };
    for (const Filling& row : rows) {
        SCOPED_TRACE(row.pattern);
        EXPECT_EQ(filledText(row.pattern, row.arguments), row.text);
        EXPECT_EQ(textArguments(row.pattern, row.text), row.arguments);
    }
}

TEST(TextTemplate, LeavesWhatIsNotAPlaceAsItStands) {
    EXPECT_EQ(filledText("50% of %1, %3 and %x", {"them"}), "50% of them, %3 and %x");
    EXPECT_EQ(filledText("a trailing %", {}), "a trailing %");
}

TEST(TextTemplate, RefusesTextsThatAreNotTheTemplateFilledIn) {
    const std::pair<const char*, const char*> rows[] = {
        {"The file \"%1\" couldn't be opened.", "The file \"a\" couldn't be saved."},
        {"Registers %1 to %2", "Register 0 to 2"},
        {"%1 and %1 again", "x and y again"},
        {"Exactly this", "Exactly this."},
        {"Exactly this", ""},
    };
    for (const auto& [pattern, text] : rows) {
        SCOPED_TRACE(pattern);
        EXPECT_FALSE(textArguments(pattern, text));
    }
}

TEST(TextTemplate, SplitsAmbiguousTextsWithTheEarlierArgumentsShortest) {
    EXPECT_EQ(textArguments("%1 to %2", "0 to 1 to 2"), (std::vector<std::string>{"0", "1 to 2"}));
}

} // namespace
} // namespace tavrel::records
