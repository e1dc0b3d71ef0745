// The libraries' texts in the window's language. The libraries below the window speak English
// (tavrelctl prints them as they are); each of their texts is an English template, marked with
// TAVREL_TEXT where it is written, filled in with what varies. The window finds the template a
// text was filled from, translates the template and fills the translation with the same
// arguments. A text no template gives (a device's own text, the system's) stays as it is.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace tavrel::app {

struct LibraryText {
    const char* context;
    const char* source;
};

// Every template of the libraries, with the translation context it was marked in: made by the
// build from the translation sources.
const std::vector<LibraryText>& libraryTexts();

// How a library text's bytes become characters: the device link's one per byte, the rest UTF-8.
enum class TextBytes { Latin1, Utf8 };

QString translatedLibraryText(const std::string& text, TextBytes bytes = TextBytes::Utf8);

} // namespace tavrel::app
