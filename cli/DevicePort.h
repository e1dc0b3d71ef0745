// Finding and opening the port that a command names.
#pragma once

#include "ExitStatus.h"
#include "OpenFailure.h"
#include "TavrelSocket.h"

#include <memory>
#include <optional>
#include <string>

// PORT as the user gave it: any text with a "/" is a device path and used as it is; anything
// else must be a name that `tavrelctl ports` lists. Null, with the problem for a usage error,
// for a name that is not listed.
std::optional<std::string> resolvePort(const std::string& port, std::string* problem);

// The connection of `path`, or null after reporting "Error communicating with VRG-500" with the
// cause of the failed open.
std::shared_ptr<TavrelSocket> openDevice(const std::string& path);
