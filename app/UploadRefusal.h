// The window's check of an upload's range before it sends anything: files::rangeUploadable in the
// window's voice, for the window's ranges. Once those are records::RegisterRange, the callers can
// call files::rangeUploadable themselves and this goes.
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
