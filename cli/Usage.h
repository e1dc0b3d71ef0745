// The help texts of tavrelctl.
#pragma once

#include <string>

namespace tavrel::cli {

// The whole synopsis, for `tavrelctl --help`.
std::string toolUsage();

// One command's usage, for `tavrelctl COMMAND --help`.
std::string commandUsage(const std::string& command);

} // namespace tavrel::cli
