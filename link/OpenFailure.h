// Why a serial port could not be opened, in words a person can act on. The application's alert
// and tavrelctl's message both come from here, one text for each cause: no permission, busy,
// gone, not a terminal, anything else.
#pragma once

#include "TextTemplate.h"

#include <string>

namespace tavrel::link {

// What is shown when there is no connection to the device, or a failure without an error object.
inline constexpr const char* GenericDeviceErrorMessage =
    TAVREL_TEXT("Error communicating with VRG-500");
inline constexpr const char* GenericDeviceErrorInformation =
    TAVREL_TEXT("Perhaps the device is off or the wrong port is selected.");

// `errorNumber` is the errno of the failed open (0 when unknown). For a permission problem the
// device at `path` is looked at, to name its owner, group and mode.
std::string explainOpenFailure(const std::string& path, int errorNumber);

} // namespace tavrel::link
