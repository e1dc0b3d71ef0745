#include "LibraryTexts.h"

#include "TextTemplate.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <cstring>
#include <optional>

namespace tavrel::app {

namespace {

QString decoded(const std::string& bytes, TextBytes kind) {
    const QByteArray array = QByteArray::fromStdString(bytes);
    if (kind == TextBytes::Latin1) {
        return QString::fromLatin1(array);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(array);
    return utf8.hasError() ? QString::fromLatin1(array) : text; // bytes kept one per character
}

// The characters of a template outside its places: of two templates that both give a text, the
// one that says more of it is the one it came from ("%1 of %2 written: %3" against
// "%1 of %2 written: %3; %4 may be partly written").
size_t literalLength(const char* source) {
    size_t length = std::strlen(source);
    for (const char* place = std::strchr(source, '%'); place; place = std::strchr(place + 1, '%')) {
        length -= place[1] >= '1' && place[1] <= '9' ? 2 : 0;
    }
    return length;
}

// `pattern` with %1 to %9 replaced by `arguments`, each place once, in any order.
QString filled(const QString& pattern, const std::vector<QString>& arguments) {
    QString text;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' &&
            pattern[i + 1] <= u'9') {
            const auto index = static_cast<size_t>(pattern[i + 1].unicode() - u'1');
            if (index < arguments.size()) {
                text += arguments[index];
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

} // namespace

QString translatedLibraryText(const std::string& text, TextBytes bytes) {
    const LibraryText* best = nullptr;
    std::vector<std::string> bestArguments;
    for (const LibraryText& candidate : libraryTexts()) {
        const size_t says = literalLength(candidate.source);
        if (says == 0 || (best && says <= literalLength(best->source))) {
            continue;
        }
        if (auto arguments = records::textArguments(candidate.source, text)) {
            best = &candidate;
            bestArguments = std::move(*arguments);
        }
    }
    if (!best) {
        return decoded(text, bytes);
    }
    std::vector<QString> arguments;
    for (const std::string& argument : bestArguments) {
        // An argument may be a text of its own, such as the limits in "Time %1 out of range: %2".
        arguments.push_back(argument.empty() ? QString() : translatedLibraryText(argument, bytes));
    }
    return filled(QCoreApplication::translate(best->context, best->source), arguments);
}

} // namespace tavrel::app
