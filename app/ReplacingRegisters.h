// What the commands that store registers over the table's say: how undo texts and alerts count
// and list register numbers, and the question asked before registers are replaced (Paste,
// Duplicate To…, Import).
#pragma once

#include "RegisterCollection.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace tavrel::app {

class Alerts;

// "Register 012" for one, "3 Registers" for more: how the undo texts count registers.
QString registersText(const std::vector<int32_t>& numbers);
// "012, 013 and 020", or the first few and how many more.
QString numberList(const std::vector<int32_t>& numbers);
// The numbers of `items`, in their order.
std::vector<int32_t> numbersOf(const std::vector<files::RegisterCollection::Item>& items);
// The numbers among `numbers` that `registers` holds already.
std::vector<int32_t> existingNumbers(const files::RegisterCollection& registers,
                                     const std::vector<int32_t>& numbers);
// Asks before registers are replaced: "Replace register 009?", "Replace 2 registers?", and with
// registers added as well "Replace register 009 and add register 040?" or "Replace 2 registers
// and add 1,998?".
QString replaceQuestion(const std::vector<int32_t>& existing, const std::vector<int32_t>& added);

// The question's informative text for a command: `replaces` takes the list of the registers the
// table holds already ("The table holds %1 already. Pasting replaces them."), `replacesAndAdds`
// that and the list of those added ("... Pasting replaces them and adds %2.").
struct ReplacingTexts {
    QString replaces;
    QString replacesAndAdds;
};

// Runs `store` at once when `table` holds none of `numbers` (ascending); otherwise asks first,
// with Replace and Cancel, and runs it on Replace.
void storeAskingBeforeReplacing(Alerts& alerts, const files::RegisterCollection& table,
                                const std::vector<int32_t>& numbers, const ReplacingTexts& texts,
                                std::function<void()> store);

} // namespace tavrel::app
