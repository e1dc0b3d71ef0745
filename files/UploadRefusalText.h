// An upload's refusal in words (the policy is UploadCheck's). The window and tavrelctl name
// the register alike, "Register NNN cannot be uploaded", and say why in their own voices: the
// window briefly, as the link names a value it will not send ("Clip Name A not 8 bytes in
// length"); tavrelctl in a sentence that shows the value refused.
#pragma once

#include "RegisterCollection.h"
#include "RegisterRange.h"
#include "TavrelError.h"

namespace tavrel::files {

enum class UploadRefusalVoice { Window, Tool };

// Whether every register of `registers` in `range` can be sent as it stands
// (firstUploadProblemInRange). Otherwise *error (when given) names the first that cannot: an
// error of TavrelErrorDomain whose description is "Register NNN cannot be uploaded" and whose
// recovery suggestion says why, in `voice`.
bool rangeUploadable(const RegisterCollection& registers, records::RegisterRange range,
                     UploadRefusalVoice voice, records::TavrelError* error);

} // namespace tavrel::files
