#include "UploadRefusal.h"

#include "UploadRefusalText.h"

namespace tavrel::app {

bool rangeUploadable(const files::RegisterCollection& registers, LocationLengthRange range,
                     records::TavrelError* error) {
    return files::rangeUploadable(registers,
                                  {static_cast<int32_t>(range.location),
                                   static_cast<int32_t>(range.location + range.length - 1)},
                                  files::UploadRefusalVoice::Window, error);
}

} // namespace tavrel::app
