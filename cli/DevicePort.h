// Finding and opening the port that a command names.
#pragma once

#include "ExitStatus.h"
#include "OpenFailure.h"
#include "TavrelSocket.h"

#include <memory>
#include <optional>
#include <string>

namespace tavrel::cli {

// PORT as the user gave it: any text with a "/" is a device path and used as it is; anything
// else must be a name that `tavrelctl ports` lists, or the name of a listed adapter's link in
// /dev/serial/by-id. Null after reporting the failure, with
// `*failure` its exit status: a usage error for a name that is not listed, a failure when the
// ports could not be listed at all.
std::optional<std::string> resolvePort(const std::string& port, ExitStatus* failure);

// The connection of `path`, or null with "Error communicating with VRG-500" and the cause of the
// failed open in `error`.
std::shared_ptr<link::TavrelSocket> openDevice(const std::string& path,
                                               records::TavrelError* error);

} // namespace tavrel::cli
