#include "MenuSettingsFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "TextTemplate.h"
#include "VersionText.h"

#include <cstdint>

namespace tavrel::files {

using records::filledText;

using records::TavrelError;
using records::trimmedVersionText;
using records::VRG500_menuData;

namespace {

constexpr size_t VersionLength = 4;
constexpr std::string_view LineEnd = " \r\n";

void invalidFileError(TavrelError* error) {
    tavrelFileFormatError(error, TAVREL_TEXT("Invalid .vgs file"),
                          TAVREL_TEXT("The .vgs file had an unrecoverable corruption error."));
}

void appendSignedByte(std::string* text, uint8_t byte) {
    int value = static_cast<int8_t>(byte);
    if (value < 0) {
        text->push_back('-');
        value = -value;
    }
    if (value >= 100) {
        text->push_back(static_cast<char>('0' + value / 100));
    }
    if (value >= 10) {
        text->push_back(static_cast<char>('0' + value / 10 % 10));
    }
    text->push_back(static_cast<char>('0' + value % 10));
}

bool consume(std::string_view* text, std::string_view expected) {
    if (text->substr(0, expected.size()) != expected) {
        return false;
    }
    text->remove_prefix(expected.size());
    return true;
}

// An optional minus sign and at least one decimal digit; the value must fit 32 signed bits.
// No plus sign: the writer never makes one.
bool consumeInteger(std::string_view* text, int64_t* value) {
    size_t pos = 0;
    bool negative = !text->empty() && (*text)[0] == '-';
    if (negative) {
        ++pos;
    }
    size_t firstDigit = pos;
    int64_t magnitude = 0;
    while (pos < text->size() && (*text)[pos] >= '0' && (*text)[pos] <= '9') {
        magnitude = magnitude * 10 + ((*text)[pos] - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) {
            return false;
        }
        ++pos;
    }
    if (pos == firstDigit || (!negative && magnitude > INT32_MAX)) {
        return false;
    }
    *value = negative ? -magnitude : magnitude;
    text->remove_prefix(pos);
    return true;
}

bool parseBlock(std::string_view rest, VRG500_menuData* block) {
    if (!consume(&rest, LineEnd)) {
        return false;
    }
    for (uint8_t& byte : *block) {
        int64_t value = 0;
        if (!consume(&rest, " ") || !consumeInteger(&rest, &value) || !consume(&rest, LineEnd)) {
            return false;
        }
        byte = static_cast<uint8_t>(static_cast<uint64_t>(value) & 0xFF);
    }
    // Whatever follows the last value line is ignored.
    return true;
}

} // namespace

bool checkMenuSettingsVersion(const std::string& version, TavrelError* error) {
    if (version.size() != VersionLength) {
        tavrelFileFormatError(error, TAVREL_TEXT("The VRG-500 version string is not 4 chars long"));
        return false;
    }
    return true;
}

bool checkMenuSettingsFileVersion(const std::string& fileVersion, const std::string& deviceVersion,
                                  TavrelError* error) {
    if (fileVersion == deviceVersion) {
        return true;
    }
    tavrelFileFormatError(
        error, TAVREL_TEXT("Version Mismatch"),
        filledText(TAVREL_TEXT(".vgs file version \"%1\" does not match device version \"%2\""),
                   {trimmedVersionText(fileVersion), trimmedVersionText(deviceVersion)}));
    return false;
}

bool formatMenuSettingsFile(const std::string& version, const VRG500_menuData& block,
                            std::string* text, TavrelError* error) {
    if (!checkMenuSettingsVersion(version, error)) {
        return false;
    }
    std::string result;
    result.reserve(VersionLength + LineEnd.size() + block.size() * 8);
    result.append(version);
    result.append(LineEnd);
    for (uint8_t byte : block) {
        result.push_back(' ');
        appendSignedByte(&result, byte);
        result.append(LineEnd);
    }
    text->swap(result);
    return true;
}

std::optional<VRG500_menuData> parseMenuSettingsFile(std::string_view text, std::string* version,
                                                     TavrelError* error) {
    if (text.size() < VersionLength) {
        invalidFileError(error);
        return std::nullopt;
    }
    if (version) {
        version->assign(text.substr(0, VersionLength));
    }
    VRG500_menuData block{};
    if (!parseBlock(text.substr(VersionLength), &block)) {
        invalidFileError(error);
        return std::nullopt;
    }
    return block;
}

bool writeMenuSettingsFile(const std::string& path, const std::string& version,
                           const VRG500_menuData& block, TavrelError* error, bool* wroteInPlace) {
    std::string text;
    return formatMenuSettingsFile(version, block, &text, error) &&
           writeFileAtomically(path, text, error, wroteInPlace);
}

std::optional<VRG500_menuData> readMenuSettingsFile(const std::string& path, std::string* version,
                                                    TavrelError* error) {
    std::string text;
    switch (readFileUpTo(path, MenuSettingsFileLimit, &text, error)) {
    case BoundedRead::Failed:
        return std::nullopt;
    case BoundedRead::TooLarge:
        tavrelFileFormatError(
            error, TAVREL_TEXT("Invalid .vgs file"),
            filledText(TAVREL_TEXT("The file %1 is too large to be a menu settings file."),
                       {fileNameInText(path)}));
        return std::nullopt;
    case BoundedRead::Read:
        break;
    }
    return parseMenuSettingsFile(text, version, error);
}

} // namespace tavrel::files
