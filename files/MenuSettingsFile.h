// The menu settings file (extension vgs): the device's 4-character version text on the first
// line, then the 32 menu bytes as signed decimal values, one per line, CR LF line ends.
#pragma once

#include "TavrelError.h"
#include "VRG500.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::files {

// Whether a version can be written to a file (exactly 4 characters); the error is "The VRG-500
// version string is not 4 chars long" (domain "Tavrel"). A download checks it before asking the
// device for its menu block, as the writer does.
bool checkMenuSettingsVersion(const std::string& version, records::TavrelError* error = nullptr);

// Whether a file's version is the device's, compared as they stand. Fails with "Version
// Mismatch" / ".vgs file version "FILE" does not match device version "DEVICE"" (both shown
// trimmed, domain "Tavrel"): such a file is never loaded into the device.
bool checkMenuSettingsFileVersion(const std::string& fileVersion, const std::string& deviceVersion,
                                  records::TavrelError* error = nullptr);

// The file's text. Fails with "The VRG-500 version string is not 4 chars long" (domain "Tavrel")
// when the version is not 4 characters long.
bool formatMenuSettingsFile(const std::string& version, const records::VRG500_menuData& block,
                            std::string* text, records::TavrelError* error = nullptr);

// Parses a file's text. The version (its first 4 characters) is handed out even when the rest
// turns out invalid; then the error is "Invalid .vgs file" / "The .vgs file had an
// unrecoverable corruption error." (domain "Tavrel").
std::optional<records::VRG500_menuData>
parseMenuSettingsFile(std::string_view text, std::string* version,
                      records::TavrelError* error = nullptr);

// Writes atomically (temporary file, flushed, renamed over the target), or in place where the
// file cannot be replaced but can be written; then *wroteInPlace (when given) is set to true.
bool writeMenuSettingsFile(const std::string& path, const std::string& version,
                           const records::VRG500_menuData& block,
                           records::TavrelError* error = nullptr, bool* wroteInPlace = nullptr);

// A written file is 167 to 263 bytes; one larger than this (trailing text included) is refused
// before it is read whole: "Invalid .vgs file" / "The file NAME is too large to be a menu settings
// file." (domain "Tavrel"), NAME as fileNameInText gives it. A pipe or a device is read no
// further than the limit.
inline constexpr size_t MenuSettingsFileLimit = 64 * 1024;

// Reads and parses a file. An unreadable one gives the system's error.
std::optional<records::VRG500_menuData> readMenuSettingsFile(const std::string& path,
                                                             std::string* version,
                                                             records::TavrelError* error = nullptr);

} // namespace tavrel::files
