// The texts a person reads that Tavrel's libraries make: English templates with numbered places
// (%1 to %9) for what varies, such as a path or a register number. The libraries fill them in
// and hand on plain English text, which tavrelctl prints as it stands. The window translates
// such a text by finding the template it was filled from, translating the template and filling
// the translation with the same arguments, which may stand in any order in it.
//
// TAVREL_TEXT marks a template where it is written, for the translation tools; it is the text
// itself. The build lists the marked templates from the translation sources, for the window to
// look them up (app/LibraryTexts).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#define TAVREL_TEXT(text) text

namespace tavrel::records {

// `pattern` with each %N (N from 1 to 9) replaced by arguments[N - 1]; "%%" is one "%", and a
// "%" before anything else, or before a number with no argument, stands as it is.
std::string filledText(std::string_view pattern, const std::vector<std::string>& arguments);

// The arguments `text` was filled with when it is `pattern` filled in (argument N at index
// N - 1; an argument the pattern does not use is empty), else nothing. When more than one way
// of splitting fits, the one giving the earlier places the shorter arguments.
std::optional<std::vector<std::string>> textArguments(std::string_view pattern,
                                                      std::string_view text);

// One library's templates, under the translation context they were marked in.
struct TextCatalogue {
    const char* context;
    const char* const* templates;
    std::size_t count;
};

} // namespace tavrel::records
