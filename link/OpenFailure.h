// Why a serial port could not be opened, in words a person can act on. The application's alert
// and tavrelctl's message both come from here, one text for each cause: no permission, busy,
// gone, not a terminal, anything else.
#pragma once

#include <string>

// `errorNumber` is the errno of the failed open (0 when unknown). For a permission problem the
// device at `path` is looked at, to name its owner, group and mode.
std::string explainOpenFailure(const std::string& path, int errorNumber);
