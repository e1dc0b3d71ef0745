#include "ReplacingRegisters.h"

#include "Alerts.h"
#include "RegisterLabelText.h"

#include <QObject>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

namespace tavrel::app {

using files::RegisterCollection;

namespace {

// The most register numbers an alert lists by name.
constexpr size_t NamedRegisterLimit = 5;

// The numbers among `numbers` (ascending) that are not among `existing` (ascending).
std::vector<int32_t> addedNumbers(const std::vector<int32_t>& numbers,
                                  const std::vector<int32_t>& existing) {
    std::vector<int32_t> added;
    std::set_difference(numbers.begin(), numbers.end(), existing.begin(), existing.end(),
                        std::back_inserter(added));
    return added;
}

} // namespace

QString registersText(const std::vector<int32_t>& numbers) {
    return numbers.size() == 1
               ? QObject::tr("Register %1").arg(registerLabelText(numbers.front()))
               : QObject::tr("%n Registers", nullptr, static_cast<int>(numbers.size()));
}

QString numberList(const std::vector<int32_t>& numbers) {
    QStringList names;
    for (size_t i = 0; i < numbers.size() && i < NamedRegisterLimit; ++i) {
        names << registerLabelText(numbers[i]);
    }
    if (numbers.size() > NamedRegisterLimit) {
        return QObject::tr("%1 and %2 more")
            .arg(names.join(", "))
            .arg(numbers.size() - NamedRegisterLimit);
    }
    if (names.size() == 1) {
        return names.front();
    }
    const QString last = names.takeLast();
    return QObject::tr("%1 and %2").arg(names.join(", "), last);
}

std::vector<int32_t> numbersOf(const std::vector<RegisterCollection::Item>& items) {
    std::vector<int32_t> numbers;
    numbers.reserve(items.size());
    for (const auto& item : items) {
        numbers.push_back(item.first);
    }
    return numbers;
}

std::vector<int32_t> existingNumbers(const RegisterCollection& registers,
                                     const std::vector<int32_t>& numbers) {
    std::vector<int32_t> existing;
    for (const int32_t number : numbers) {
        if (registers.find(number) != nullptr) {
            existing.push_back(number);
        }
    }
    return existing;
}

QString replaceQuestion(const std::vector<int32_t>& existing, const std::vector<int32_t>& added) {
    const bool one = existing.size() == 1;
    if (added.empty()) {
        return one ? QObject::tr("Replace register %1?").arg(registerLabelText(existing.front()))
                   : QObject::tr("Replace %n registers?", nullptr,
                                 static_cast<int>(existing.size()));
    }
    const QString replace =
        one ? QObject::tr("Replace register %1").arg(registerLabelText(existing.front()))
            : QObject::tr("Replace %Ln registers", nullptr, static_cast<int>(existing.size()));
    return added.size() == 1
               ? QObject::tr("%1 and add register %2?")
                     .arg(replace, registerLabelText(added.front()))
               : QObject::tr("%1 and add %Ln?", nullptr, static_cast<int>(added.size()))
                     .arg(replace);
}

void storeAskingBeforeReplacing(Alerts& alerts, const RegisterCollection& table,
                                const std::vector<int32_t>& numbers, const ReplacingTexts& texts,
                                std::function<void()> store) {
    const std::vector<int32_t> existing = existingNumbers(table, numbers);
    if (existing.empty()) {
        store();
        return;
    }
    const std::vector<int32_t> added = addedNumbers(numbers, existing);
    alerts.ask(replaceQuestion(existing, added),
               added.empty()
                   ? QString(texts.replaces).arg(numberList(existing))
                   : QString(texts.replacesAndAdds).arg(numberList(existing), numberList(added)),
               QObject::tr("Replace"), std::move(store));
}

} // namespace tavrel::app
