// Registers as a CMX 3600 edit decision list: a TITLE line, an FCM line, then one cut event per
// machine whose IN and OUT are both set, in register then machine order, each followed by
// Tavrel's comment line naming its register and machine (EditDecisionListReel.h). Record times
// run on from the record start at the chosen frame rate. docs/formats.md shows the lines.
//
// A window or a command exports in a line or two:
//     auto refused = editDecisionListRefusals(registers, settings); // list them, ask, or give up
//     writeEditDecisionList(path, registers, settings, RefusedEvents::LeaveOut, &error);
#pragma once

#include "RegisterCollection.h"
#include "RegisterFieldInput.h"
#include "RegisterRange.h"
#include "TavrelError.h"
#include "VRG500.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::files {

// The rates an edit decision list counts its record times in; 30 drop frame is NTSC's 29.97.
enum class EdlFrameRate { Fps24, Fps25, Fps30, Fps30DropFrame };

// As tavrelctl's --frame-rate takes them: "24", "25", "30", "30df".
const char* edlFrameRateName(EdlFrameRate rate);
std::optional<EdlFrameRate> edlFrameRateFromName(std::string_view name);
// In words: "25 frames per second", "30 frames per second, drop frame".
const char* edlFrameRateWords(EdlFrameRate rate);
int edlFramesPerSecond(EdlFrameRate rate);
// The rate a time is checked against at `rate`, as a typed time is (records::parseTimeInput): at
// 30 drop frame, 30.
records::FrameRate edlTimeRate(EdlFrameRate rate);
bool edlDropFrame(EdlFrameRate rate);

// 01:00:00:00, where editing systems start a programme.
inline constexpr records::VRG500_registerTime DefaultEdlRecordStart{1, 0, 0, 0, 0, 0};

struct EdlExportSettings {
    std::string title; // the TITLE line: the register file's name
    EdlFrameRate frameRate = EdlFrameRate::Fps25;
    // Counted at the frame rate; at 30 drop frame read as a drop-frame label whatever its mark.
    records::VRG500_registerTime recordStart = DefaultEdlRecordStart;
    records::RegisterRange range = records::EveryRegisterNumber;
};

// A machine's event that cannot be exported, and why: "Register 012, machine A: OUT is not after
// IN". `machine` is 0 when the register itself is refused (a number no device has).
struct EdlRefusal {
    int32_t number = 0;
    char machine = 0;
    std::string text;
};

// The events the range makes, refused or not: one per machine whose IN and OUT are both set.
size_t editDecisionListEventCount(const RegisterCollection& registers,
                                  const EdlExportSettings& settings);
// The TITLE of the list of the register file named `fileName` (its last path component):
// the name as it is, "Untitled" for registers of no file.
std::string editDecisionListTitle(std::string_view fileName);
// The events of the range that cannot be exported: an OUT not after its IN, a time the frame rate
// cannot hold (frames at or above the rate, hours above 23, drop frame at 24 or 25, a drop-frame
// label that is skipped), a register number above 65535 or below 0. In register then machine order.
std::vector<EdlRefusal> editDecisionListRefusals(const RegisterCollection& registers,
                                                 const EdlExportSettings& settings);

// Whether the record start is a time at the frame rate; `error` says why not.
bool checkEdlRecordStart(const EdlExportSettings& settings, records::TavrelError* error = nullptr);

// What the export does with refused events: refuse the whole list (tavrelctl), or leave them
// out and export the rest (the window, once the user agreed).
enum class RefusedEvents { RefuseExport, LeaveOut };

// The list's text, CR LF line ends. Fails on a record start the rate cannot hold, and under
// RefuseExport on any refusal, each refusal a line of the error's failure reason.
bool formatEditDecisionList(const RegisterCollection& registers, const EdlExportSettings& settings,
                            std::string* text, RefusedEvents refused = RefusedEvents::RefuseExport,
                            records::TavrelError* error = nullptr);

// The same, saved atomically (AtomicFileWriter) a piece at a time, so no more than a piece of
// the text is held at once.
bool writeEditDecisionList(const std::string& path, const RegisterCollection& registers,
                           const EdlExportSettings& settings,
                           RefusedEvents refused = RefusedEvents::RefuseExport,
                           records::TavrelError* error = nullptr, bool* wroteInPlace = nullptr);

} // namespace tavrel::files
