// Why a serial port could not be opened, in words a person can act on. The application's alert
// and tavrelctl's message both come from here.
#pragma once

#include <string>

// `errorNumber` is the errno of the failed open (0 when unknown).
std::string explainOpenFailure(const std::string& path, int errorNumber);
