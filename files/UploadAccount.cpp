#include "UploadAccount.h"

#include "RegisterLabel.h"
#include "TextTemplate.h"

namespace tavrel::files {

using records::filledText;

using records::registerLabel;

std::string registerRangeText(records::RegisterRange range) {
    const std::string text = registerLabel(range.first);
    return range.first == range.last ? text : text + "-" + registerLabel(range.last);
}

std::string registerListText(const std::vector<int32_t>& numbers) {
    std::string text;
    for (size_t start = 0, end = 0; start < numbers.size(); start = end) {
        for (end = start + 1; end < numbers.size() && numbers[end] == numbers[end - 1] + 1;) {
            ++end;
        }
        text += (text.empty() ? "" : ", ") + registerRangeText({numbers[start], numbers[end - 1]});
    }
    return text;
}

std::string writtenAccount(const UploadProgress& progress) {
    const std::string written = std::to_string(progress.written);
    const std::string toWrite = std::to_string(progress.toWrite.size());
    const std::string unfinished =
        progress.unfinished ? registerLabel(*progress.unfinished) : std::string();
    if (progress.written == 0) {
        return progress.unfinished
                   ? filledText(TAVREL_TEXT("%1 of %2 registers written; %3 may be partly written"),
                                {written, toWrite, unfinished})
                   : filledText(TAVREL_TEXT("%1 of %2 registers written"), {written, toWrite});
    }
    const std::string list = registerListText(std::vector<int32_t>(
        progress.toWrite.begin(),
        progress.toWrite.begin() + static_cast<std::ptrdiff_t>(progress.written)));
    return progress.unfinished
               ? filledText(TAVREL_TEXT("%1 of %2 registers written: %3; %4 may be partly written"),
                            {written, toWrite, list, unfinished})
               : filledText(TAVREL_TEXT("%1 of %2 registers written: %3"),
                            {written, toWrite, list});
}

bool deviceChanged(const UploadProgress& progress) {
    return progress.written > 0 || progress.unfinished.has_value();
}

} // namespace tavrel::files
