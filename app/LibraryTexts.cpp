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

} // namespace

QString translatedLibraryText(const std::string& text, TextBytes bytes) {
    const LibraryText* best = nullptr;
    size_t bestSays = 0;
    std::vector<std::string> bestArguments;
    for (const LibraryText& candidate : libraryTexts()) {
        const size_t says = literalLength(candidate.source);
        if (says <= bestSays) { // a template of places alone would give any text
            continue;
        }
        if (auto arguments = records::textArguments(candidate.source, text)) {
            best = &candidate;
            bestSays = says;
            bestArguments = std::move(*arguments);
        }
    }
    if (!best) {
        return decoded(text, bytes);
    }
    // The translation is filled as the template was, in UTF-8; an argument may be a text of its
    // own, such as the limits in "Time %1 out of range: %2".
    std::vector<std::string> arguments;
    for (const std::string& argument : bestArguments) {
        arguments.push_back(argument.empty()
                                ? std::string()
                                : translatedLibraryText(argument, bytes).toStdString());
    }
    const QString translation = QCoreApplication::translate(best->context, best->source);
    return QString::fromStdString(records::filledText(translation.toStdString(), arguments));
}

} // namespace tavrel::app
