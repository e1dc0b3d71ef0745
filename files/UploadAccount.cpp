#include "UploadAccount.h"

#include "RegisterLabel.h"

namespace tavrel::files {

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
    std::string account = std::to_string(progress.written) + " of " +
                          std::to_string(progress.toWrite.size()) + " registers written";
    if (progress.written > 0) {
        account +=
            ": " + registerListText(std::vector<int32_t>(
                       progress.toWrite.begin(),
                       progress.toWrite.begin() + static_cast<std::ptrdiff_t>(progress.written)));
    }
    if (progress.unfinished) {
        account += "; " + registerLabel(*progress.unfinished) + " may be partly written";
    }
    return account;
}

bool deviceChanged(const UploadProgress& progress) {
    return progress.written > 0 || progress.unfinished.has_value();
}

} // namespace tavrel::files
