// The application's wording of the upload policy: an upload checks its whole range before it
// sends anything, and a refusal names the register and what the device cannot take.
#pragma once

#include "AppController.h"
#include "RegisterCollection.h"
#include "TavrelError.h"

namespace tavrel::app {

// Whether every register of `registers` in `range` can be sent as it stands; otherwise `error`
// (when given) names the first one that cannot.
bool rangeUploadable(const files::RegisterCollection& registers, LocationLengthRange range,
                     records::TavrelError* error);

} // namespace tavrel::app
