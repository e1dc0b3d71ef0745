// What a person types into a register's cell (a time or a clip name) or as an offset for the
// device, read strictly enough that whatever is accepted can be sent to the device and saved, with
// a short reason when it is not.
#pragma once

#include "VRG500.h"

#include <string>
#include <string_view>

namespace tavrel::records {

// The frame rate an edited time is checked against; WireLimits checks only what the wire carries.
enum class FrameRate { WireLimits, Fps24, Fps25, Fps30 };

// Reads a time typed in an editor. Blanks around the text are ignored. An empty text, or one made
// only of '*' characters, or the null form "**:**:**:**" / "**:**:**;**" gives a null time (isNull
// 1, numbers 0; dropFrame 1 only for the ";" null form). Otherwise the text must be the time text
// form (parseRegisterTimeText) and the wire must carry it (registerTimeFitsWire: hours, minutes,
// seconds 0-99, frames 0-39). With a rate: frames below the rate (24 -> 0..23, 25 -> 0..24, 30 ->
// 0..29), hours 0-23, minutes and seconds 0-59, drop frame (";") only at 30, and at 30 drop frame
// the frame labels 00 and 01 do not exist in minutes not divisible by ten. On failure *time is
// unchanged and *reason (when given) gets one short sentence for the user.
bool parseTimeInput(std::string_view text, FrameRate rate, VRG500_registerTime* time,
                    std::string* reason = nullptr);

// Reads an offset for the device's register time offset commands: "HH:MM:SS:FF", two digits each,
// ":" before the frames (the device adds or subtracts plain numbers, so there is no drop-frame or
// null form), frames up to 39 as the wire carries. Blanks around the text are ignored. On success
// *offset holds the four numbers with both flags 0; on failure it is unchanged and *reason (when
// given) gets one short sentence for the user. tavrelctl's offset command and the application's
// offset dialog both read offsets through this.
bool parseOffsetInput(std::string_view text, VRG500_registerTime* offset,
                      std::string* reason = nullptr);

// The bytes a clip name may take. Typed in an editor, printable ASCII (0x20-0x7E): what is typed
// is what the device shows. Pasted, any byte from 0x20 to 0xFF, as a register file's clip name
// holds them: a name copied from the table goes back byte for byte, as the register holding it
// would when pasted whole.
enum class ClipBytes { PrintableAscii, Pasted };

// Reads a clip name typed in an editor (or pasted, with ClipBytes::Pasted): up to eight bytes of
// those `allowed`, no comma. Shorter names are padded with spaces to eight; an empty text means no
// clip (NoClipName, "********"), and so does a text of blanks only, as a register file reads eight
// blanks. Typed text is UTF-8: any byte >= 0x80 or control character is refused as not printable
// ASCII. A pasted name is bytes (files/RegisterClipboardText says how the clipboard's text
// carries them); one below 0x20 is refused as a control character.
bool parseClipInput(std::string_view text, std::string* clip, std::string* reason = nullptr,
                    ClipBytes allowed = ClipBytes::PrintableAscii);

// The text an editor starts with for a clip name: empty for NoClipName, else the name without its
// trailing spaces.
std::string clipInputText(const std::string& clip);

// Names of the rates as the preference shows them and stores them: "Wire limits only", "24",
// "25", "30"; frameRateFromName returns WireLimits for anything unknown.
const char* frameRateName(FrameRate rate);
FrameRate frameRateFromName(std::string_view name);
// The frames in a second at `rate`: 24, 25 or 30; 0 for WireLimits.
int framesPerSecond(FrameRate rate);

} // namespace tavrel::records
