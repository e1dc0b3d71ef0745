#include "RegisterComparison.h"

#include "RegisterEquivalence.h"
#include "RegisterLabel.h"
#include "RegisterTimeText.h"

#include <algorithm>
#include <cstdio>

namespace tavrel::files {

using records::RegisterEntry;
using records::registerLabel;
using records::stringForRegisterTime;
using records::VRG500_registerTime;
using records::VRG500_registerTimeNames;
using records::VRG500_registerTimes;

namespace {

constexpr const char* TrailingNames[2] = {"TRAILING 1", "TRAILING 2"};
constexpr const char* ClipNames[4] = {"CLIP A", "CLIP B", "CLIP C", "CLIP D"};

// The numbers an unset time carries, which its text hides.
std::string carriedNumbers(const VRG500_registerTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "[%02u:%02u:%02u%c%02u]", unsigned{time.hours},
                  unsigned{time.minutes}, unsigned{time.seconds}, time.dropFrame ? ';' : ':',
                  unsigned{time.frames});
    return text;
}

// In double quotes, with each quote and backslash inside after a backslash, so that a line reads
// one way whatever the name holds.
std::string quoted(const std::string& clip) {
    std::string text = "\"";
    for (const char c : clip) {
        if (c == '"' || c == '\\') {
            text += '\\';
        }
        text += c;
    }
    return text + '"';
}

void compareTime(const char* name, const VRG500_registerTime& a, const VRG500_registerTime& b,
                 std::vector<FieldDifference>* fields) {
    if (sameRegisterTime(a, b)) {
        return;
    }
    std::string left = stringForRegisterTime(a);
    std::string right = stringForRegisterTime(b);
    const bool sameNumbers = a.hours == b.hours && a.minutes == b.minutes &&
                             a.seconds == b.seconds && a.frames == b.frames;
    if (a.isNull && b.isNull && !sameNumbers) {
        left += carriedNumbers(a);
        right += carriedNumbers(b);
    }
    fields->push_back({name, std::move(left), std::move(right)});
}

std::vector<FieldDifference> fieldDifferences(const RegisterEntry& a, const RegisterEntry& b) {
    std::vector<FieldDifference> fields;
    for (size_t i = 0; i < std::size(VRG500_registerTimes); ++i) {
        compareTime(VRG500_registerTimeNames[i], a.reg.*VRG500_registerTimes[i],
                    b.reg.*VRG500_registerTimes[i], &fields);
    }
    const uint8_t trailingA[2] = {a.reg.trailingByte1, a.reg.trailingByte2};
    const uint8_t trailingB[2] = {b.reg.trailingByte1, b.reg.trailingByte2};
    for (size_t i = 0; i < 2; ++i) {
        if (trailingA[i] != trailingB[i]) {
            fields.push_back(
                {TrailingNames[i], registerLabel(trailingA[i]), registerLabel(trailingB[i])});
        }
    }
    for (size_t i = 0; i < a.clips.size(); ++i) {
        if (!sameClipName(a.clips[i], b.clips[i])) {
            fields.push_back({ClipNames[i], quoted(a.clips[i]), quoted(b.clips[i])});
        }
    }
    return fields;
}

using Row = std::vector<RegisterCollection::Item>::const_iterator;

Row firstAtOrAfter(const RegisterCollection& registers, int32_t number) {
    return std::lower_bound(
        registers.begin(), registers.end(), number,
        [](const RegisterCollection::Item& item, int32_t n) { return item.first < n; });
}

} // namespace

RegisterComparison compareRegisters(const RegisterCollection& left, const RegisterCollection& right,
                                    records::RegisterRange range) {
    RegisterComparison comparison;
    auto inRange = [range](Row row, const RegisterCollection& registers) {
        return row != registers.end() && row->first <= range.last;
    };
    Row a = firstAtOrAfter(left, range.first);
    Row b = firstAtOrAfter(right, range.first);
    // A merge of the two ascending sequences.
    while (inRange(a, left) || inRange(b, right)) {
        if (!inRange(b, right) || (inRange(a, left) && a->first < b->first)) {
            comparison.differences.push_back({(a++)->first, RegisterDifference::OnlyLeft, {}});
        } else if (!inRange(a, left) || b->first < a->first) {
            comparison.differences.push_back({(b++)->first, RegisterDifference::OnlyRight, {}});
        } else {
            if (sameRegister(a->second, b->second)) {
                ++comparison.identical;
            } else {
                comparison.differences.push_back({a->first, RegisterDifference::Differs,
                                                  fieldDifferences(a->second, b->second)});
            }
            ++a;
            ++b;
        }
    }
    return comparison;
}

std::vector<std::string> comparisonLines(const RegisterComparison& comparison,
                                         const std::string& leftName,
                                         const std::string& rightName) {
    std::vector<std::string> lines;
    for (const RegisterDifference& difference : comparison.differences) {
        const std::string label = registerLabel(difference.number);
        if (difference.kind != RegisterDifference::Differs) {
            lines.push_back(
                label + " only in " +
                (difference.kind == RegisterDifference::OnlyLeft ? leftName : rightName));
        }
        for (const FieldDifference& field : difference.fields) {
            lines.push_back(label + " " + field.field + " " + field.left + " " + field.right);
        }
    }
    return lines;
}

std::string comparisonText(const RegisterComparison& comparison, const std::string& leftName,
                           const std::string& rightName) {
    std::string text;
    for (const std::string& line : comparisonLines(comparison, leftName, rightName)) {
        text += line + "\n";
    }
    return text;
}

} // namespace tavrel::files
