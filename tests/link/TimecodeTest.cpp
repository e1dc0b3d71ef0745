#include "TavrelSocket.h"

#include "RegisterTimes.h"

#include <gtest/gtest.h>

#include <random>
#include <regex.h>
#include <string>
#include <vector>

namespace {
// The two patterns the text form is defined by, for comparison with the parser.
class ReferencePatterns {
  public:
    ReferencePatterns() {
        EXPECT_EQ(regcomp(&_null, "^\\*\\*:\\*\\*:\\*\\*\\([:;]\\)\\*\\*$", 0), 0);
        EXPECT_EQ(regcomp(&_time,
                          "^\\([0-9][0-9]\\):\\([0-9][0-9]\\):\\([0-9][0-9]\\)\\([:;]\\)"
                          "\\([0-9][0-9]\\)$",
                          0),
                  0);
    }
    ~ReferencePatterns() {
        regfree(&_null);
        regfree(&_time);
    }
    bool accepts(const std::string& text) const {
        return regexec(&_null, text.c_str(), 0, nullptr, 0) == 0 ||
               regexec(&_time, text.c_str(), 0, nullptr, 0) == 0;
    }

  private:
    regex_t _null{};
    regex_t _time{};
};

} // namespace

TEST(Timecode, Formats) {
    const std::pair<VRG500_registerTime, const char*> cases[] = {
        {makeTime(1, 2, 3, 4, 0, 0), "01:02:03:04"},
        {makeTime(1, 2, 3, 4, 1, 0), "01:02:03;04"},
        {makeTime(1, 2, 3, 4, 0, 1), "**:**:**:**"},
        {makeTime(1, 2, 3, 4, -1, 7), "**:**:**;**"},
        {makeTime(99, 99, 99, 99, 0, 0), "99:99:99:99"},
        {makeTime(165, 0, 0, 0, 0, 0), "165:00:00:00"}, // a non-decimal BCD digit from a device
    };
    for (const auto& [time, text] : cases) {
        EXPECT_EQ(TavrelSocket::stringForRegisterTime(time), text);
    }
}

TEST(Timecode, ParsesAcceptedTexts) {
    const std::pair<const char*, VRG500_registerTime> cases[] = {
        {"23:59:59;29", makeTime(23, 59, 59, 29, 1, 0)},
        {"00:00:00:00", makeTime(0, 0, 0, 0, 0, 0)},
        {"99:99:99:99", makeTime(99, 99, 99, 99, 0, 0)},
        {"**:**:**;**", makeTime(0, 0, 0, 0, 1, 1)},
        {"**:**:**:**", makeTime(0, 0, 0, 0, 0, 1)},
    };
    for (const auto& [text, expected] : cases) {
        VRG500_registerTime time = makeTime(7, 7, 7, 7, 5, 5);
        ASSERT_TRUE(TavrelSocket::setRegisterTime(&time, text)) << text;
        SCOPED_TRACE(text);
        expectSameTime(time, expected);
        EXPECT_EQ(TavrelSocket::stringForRegisterTime(time), text);
    }
}

TEST(Timecode, RejectsAndLeavesTheRecordUnchanged) {
    const std::string cases[] = {
        "23;59:59:29",
        "1:02:03:04",
        " 01:02:03:04",
        "01:02:03:04 ",
        "**:**:**:04",
        "01:02:03:04\n",
        "",
        "01:02:03.04",
        "0a:02:03:04",
        std::string("01:02:03:04\0", 12),
    };
    for (const auto& text : cases) {
        VRG500_registerTime time = makeTime(7, 6, 5, 4, 0, 0);
        TavrelError error;
        EXPECT_FALSE(TavrelSocket::setRegisterTime(&time, text, &error)) << text;
        EXPECT_EQ(error.description, "Invalid timecode representation");
        EXPECT_EQ(error.recoverySuggestion, "The .vg2 file is probably corrupt.");
        EXPECT_EQ(error.domain, "TavrelDomain");
        EXPECT_FALSE(error.failureReason);
        EXPECT_EQ(time.hours, 7);
        EXPECT_EQ(time.frames, 4);
    }
}

// The parser must accept exactly what the two patterns accept. Near misses are made by mutating
// valid texts: one or two characters replaced, inserted or removed.
TEST(Timecode, AcceptsExactlyWhatThePatternsAccept) {
    ReferencePatterns patterns;
    std::mt19937 random(20261206);
    const std::string alphabet = "0123456789*:;, -.a\t\r\n\xC3\xA9";
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const std::string seeds[] = {"01:02:03:04", "23:59:59;29", "**:**:**:**", "**:**:**;**",
                                 "99:99:99:99"};
    int accepted = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string text = seeds[pick(std::size(seeds))];
        int edits = 1 + static_cast<int>(pick(2));
        for (int e = 0; e < edits; ++e) {
            char c = alphabet[pick(alphabet.size())];
            switch (pick(4)) {
            case 0:
                if (!text.empty()) {
                    text[pick(text.size())] = c;
                }
                break;
            case 1:
                text.insert(text.begin() + static_cast<long>(pick(text.size() + 1)), c);
                break;
            case 2:
                if (!text.empty()) {
                    text.erase(text.begin() + static_cast<long>(pick(text.size())));
                }
                break;
            default: // swap a digit place for an asterisk or the reverse
                if (!text.empty()) {
                    char& at = text[pick(text.size())];
                    at = at == '*' ? static_cast<char>('0' + pick(10)) : '*';
                }
            }
        }
        VRG500_registerTime time;
        bool ours = TavrelSocket::setRegisterTime(&time, text);
        ASSERT_EQ(ours, patterns.accepts(text)) << "text: [" << text << "]";
        accepted += ours;
    }
    EXPECT_GT(accepted, 1000); // the generator reaches both sides
}
