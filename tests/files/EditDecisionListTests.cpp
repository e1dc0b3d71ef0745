// Edit decision lists: the text written for known registers, Tavrel's own list read back exactly,
// lists from editing systems read into registers, and each refusal with its register or line.
#include "EditDecisionListExport.h"
#include "EditDecisionListImport.h"
#include "EditDecisionListReader.h"
#include "EditDecisionListWords.h"
#include "RegisterTimeText.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

VRG500_registerTime timeOf(const char* text) {
    VRG500_registerTime time;
    EXPECT_TRUE(parseRegisterTimeText(&time, text)) << text;
    return time;
}

// Machine `machine` (0 to 3) of `entry` from IN and OUT texts ("" leaves a time unset).
void setMachine(RegisterEntry* entry, size_t machine, const char* in, const char* out,
                std::string clip = NoClipName) {
    if (*in) {
        entry->reg.*VRG500_registerTimes[2 * machine] = timeOf(in);
    }
    if (*out) {
        entry->reg.*VRG500_registerTimes[2 * machine + 1] = timeOf(out);
    }
    entry->clips[machine] = std::move(clip);
}

RegisterEntry machineA(const char* in, const char* out, std::string clip = NoClipName) {
    RegisterEntry entry = blankRegisterEntry();
    setMachine(&entry, 0, in, out, std::move(clip));
    return entry;
}

// The set machines of each register, one register a line: "012 A 00:00:10:00 00:00:15:00
// [SHOT0001]".
std::string described(const RegisterCollection& registers) {
    std::string text;
    for (const auto& [number, entry] : registers) {
        text += std::to_string(number);
        for (size_t machine = 0; machine < 4; ++machine) {
            const auto& in = entry.reg.*VRG500_registerTimes[2 * machine];
            const auto& out = entry.reg.*VRG500_registerTimes[2 * machine + 1];
            if (!in.isNull || !out.isNull || entry.clips[machine] != NoClipName) {
                text += std::string(" ") + "ABCD"[machine] + " " + stringForRegisterTime(in) + " " +
                        stringForRegisterTime(out) + " [" + entry.clips[machine] + "]";
            }
        }
        text += "\n";
    }
    return text;
}

std::string exported(const RegisterCollection& registers, EdlFrameRate rate,
                     RefusedEvents refused = RefusedEvents::RefuseExport) {
    EdlExportSettings settings;
    settings.title = "reel one.vg2";
    settings.frameRate = rate;
    std::string text;
    TavrelError error;
    EXPECT_TRUE(formatEditDecisionList(registers, settings, &text, refused, &error))
        << error.failureReason.value_or(error.description);
    return text;
}

TEST(EditDecisionList, WritesKnownRegistersAsEditingSystemsDo) {
    RegisterCollection plain;
    RegisterEntry twelve = machineA("00:00:10:00", "00:00:15:00", "SHOT0001");
    setMachine(&twelve, 1, "00:00:20:00", "");            // IN only: no event
    setMachine(&twelve, 2, "00:01:00:00", "00:01:02:12"); // no clip: AX
    plain.set(12, twelve);
    plain.set(13, machineA("10:00:00:00", "10:00:00:01", "MY CLIP ")); // not a reel
    plain.set(14, blankRegisterEntry());
    RegisterCollection dropFrame;
    dropFrame.set(1, machineA("00:00:59;28", "00:01:00;02", "DF      "));
    dropFrame.set(2, machineA("00:00:00:00", "00:00:01:00", "AX      ")); // the reel is no name
    struct Row {
        const RegisterCollection& registers;
        EdlFrameRate rate;
        const char* text;
    } rows[] = {
        {plain, EdlFrameRate::Fps25,
         "TITLE: reel one.vg2\r\n"
         "FCM: NON-DROP FRAME\r\n"
         "001  SHOT0001 V     C        00:00:10:00 00:00:15:00 01:00:00:00 01:00:05:00\r\n"
         "* TAVREL REGISTER 012 MACHINE A\r\n"
         "002  AX       V     C        00:01:00:00 00:01:02:12 01:00:05:00 01:00:07:12\r\n"
         "* TAVREL REGISTER 012 MACHINE C\r\n"
         "003  AX       V     C        10:00:00:00 10:00:00:01 01:00:07:12 01:00:07:13\r\n"
         "* FROM CLIP NAME: MY CLIP\r\n"
         "* TAVREL REGISTER 013 MACHINE A CLIP 4D5920434C495020\r\n"
         "* TAVREL REGISTER 014\r\n"},
        {dropFrame, EdlFrameRate::Fps30DropFrame,
         "TITLE: reel one.vg2\r\n"
         "FCM: DROP FRAME\r\n"
         "001  DF       V     C        00:00:59;28 00:01:00;02 01:00:00;00 01:00:00;02\r\n"
         "* TAVREL REGISTER 001 MACHINE A\r\n"
         "FCM: NON-DROP FRAME\r\n"
         "002  AX       V     C        00:00:00:00 00:00:01:00 01:00:00;02 01:00:01;02\r\n"
         "* FROM CLIP NAME: AX\r\n"
         "* TAVREL REGISTER 002 MACHINE A CLIP 4158202020202020\r\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(exported(row.registers, row.rate), row.text);
    }
}

TEST(EditDecisionList, EventNumbersWidenPastNineHundredNinetyNine) {
    RegisterCollection registers;
    for (int32_t number = 0; number < 1000; ++number) {
        registers.set(number, machineA("00:00:00:00", "00:00:00:01", "R"));
    }
    const std::string text = exported(registers, EdlFrameRate::Fps24);
    EXPECT_NE(text.find("\r\n999  R        V     C        "), std::string::npos);
    EXPECT_NE(text.find("\r\n1000  R        V     C        00:00:00:00 00:00:00:01 01:00:41:15 "
                        "01:00:41:16\r\n"),
              std::string::npos);
}

TEST(EditDecisionList, RefusesEventsNamingRegisterAndMachine) {
    struct Row {
        int32_t number;
        const char* in;
        const char* out;
        EdlFrameRate rate;
        const char* refusal;
    } rows[] = {
        {12, "00:00:01:00", "00:00:01:00", EdlFrameRate::Fps25,
         "Register 012, machine A: OUT is not after IN"},
        {12, "00:00:02:00", "00:00:01:00", EdlFrameRate::Fps30,
         "Register 012, machine A: OUT is not after IN"},
        {3, "00:00:00:25", "00:00:01:00", EdlFrameRate::Fps25,
         "Register 003, machine A: IN 00:00:00:25 is not a time at 25 frames per second. At 25 "
         "frames per second the frames go up to 24."},
        {3, "00:00:00:00", "24:00:00:00", EdlFrameRate::Fps24,
         "Register 003, machine A: OUT 24:00:00:00 is not a time at 24 frames per second. At 24 "
         "frames per second a time goes up to 23:59:59."},
        {3, "00:00:00;10", "00:00:01;00", EdlFrameRate::Fps25,
         "Register 003, machine A: IN 00:00:00;10 is not a time at 25 frames per second. Drop "
         "frame is used only at 30 frames per second."},
        {3, "00:00:00;10", "00:01:00;01", EdlFrameRate::Fps30DropFrame,
         "Register 003, machine A: OUT 00:01:00;01 is not a time at 30 frames per second, drop "
         "frame. In drop frame, frames 00 and 01 are skipped at the start of each minute except "
         "every tenth."},
        {70000, "00:00:00:00", "00:00:01:00", EdlFrameRate::Fps25,
         "Register 70000: a VRG-500 has no register of that number"},
    };
    for (const Row& row : rows) {
        RegisterCollection registers;
        registers.set(row.number, machineA(row.in, row.out));
        registers.set(1, machineA("00:00:00:00", "00:00:00:01", "KEPT"));
        EdlExportSettings settings;
        settings.frameRate = row.rate;
        auto refusals = editDecisionListRefusals(registers, settings);
        ASSERT_EQ(refusals.size(), 1u) << row.refusal;
        EXPECT_EQ(refusals[0].text, row.refusal);
        EXPECT_EQ(refusals[0].number, row.number);
        std::string text = "untouched";
        TavrelError error;
        EXPECT_FALSE(formatEditDecisionList(registers, settings, &text, RefusedEvents::RefuseExport,
                                            &error));
        EXPECT_EQ(text, "untouched");
        EXPECT_EQ(error.failureReason, row.refusal);
        // The window's choice: the rest goes out.
        text = exported(registers, row.rate, RefusedEvents::LeaveOut);
        EXPECT_NE(text.find("001  KEPT "), std::string::npos) << text;
        EXPECT_EQ(text.find("002  "), std::string::npos) << text;
    }
}

TEST(EditDecisionList, RefusesARecordStartTheRateCannotHold) {
    EdlExportSettings settings;
    settings.frameRate = EdlFrameRate::Fps30DropFrame;
    settings.recordStart = timeOf("01:01:00:00"); // a skipped label at 30 drop frame
    TavrelError error;
    EXPECT_FALSE(checkEdlRecordStart(settings, &error));
    EXPECT_EQ(error.description,
              "The record start 01:01:00;00 is not a time at 30 frames per second, drop frame.");
    settings.frameRate = EdlFrameRate::Fps30;
    EXPECT_TRUE(checkEdlRecordStart(settings));
}

TEST(EditDecisionList, GivesTavrelsOwnRegistersBackExactly) {
    RegisterCollection registers;
    RegisterEntry awkward = machineA("00:00:59;28", "00:01:00;02", "AX      ");
    setMachine(&awkward, 1, "23:59:59:28", "23:59:59:29", "SHOT 1  ");
    setMachine(&awkward, 2, "00:00:00:00", "00:00:00:01", "\xE9t\xE9     ");
    setMachine(&awkward, 3, "00:00:01:00", "", "LEFT");
    registers.set(0, awkward);
    RegisterEntry shortNames = machineA("01:00:00:00", "01:00:10:00", "AB");
    setMachine(&shortNames, 1, "01:00:00:00", "01:00:10:00", "ABCDEFGH");
    setMachine(&shortNames, 2, "01:00:00:00", "01:00:10:00", "        ");
    setMachine(&shortNames, 3, "01:00:00:00", "01:00:10:00", "A,B\r\nC");
    registers.set(7, shortNames);
    registers.set(8, blankRegisterEntry());
    registers.set(9, machineA("01:00:00:00", "01:00:10:00", "MY,CLIP ")); // no reel: the comma
    RegisterEntry last = machineA("00:00:00:00", "00:00:00:01");
    last.reg.trailingByte1 = 9;
    registers.set(65535, last);
    // What an edit decision list carries: machines without an event, trailing bytes, a device's
    // marks do not come back.
    RegisterCollection expected = registers;
    RegisterEntry left = awkward;
    left.reg.inD = blankRegisterEntry().reg.inD;
    left.clips[3] = NoClipName;
    expected.set(0, left);
    expected.set(65535, machineA("00:00:00:00", "00:00:00:01"));
    for (EdlFrameRate rate : {EdlFrameRate::Fps30, EdlFrameRate::Fps30DropFrame}) {
        RegisterCollection read;
        std::string fault;
        ASSERT_TRUE(parseEditDecisionList(exported(registers, rate), &read, &fault, 500)) << fault;
        EXPECT_EQ(described(read), described(expected));
        EXPECT_TRUE(read == expected);
    }
}

TEST(EditDecisionList, ReadsEditingSystemsListsInEventOrder) {
    struct Row {
        const char* name;
        const char* text;
        int32_t firstRegister;
        const char* registers;
    } rows[] = {
        {"a plain cut list, CR LF, trailing blanks",
         "TITLE: CUTS  \r\nFCM: NON-DROP FRAME\r\n\r\n"
         "001  REEL1    V     C        00:00:10:00 00:00:15:00 01:00:00:00 01:00:05:00   \r\n"
         "* FROM CLIP NAME: shot one.mov\r\n"
         "002  AX       V     C        00:00:20:00 00:00:21:00 01:00:05:00 01:00:06:00\r\n",
         0,
         "0 A 00:00:10:00 00:00:15:00 [REEL1   ]\n"
         "1 A 00:00:20:00 00:00:21:00 [********]\n"},
        {"a dissolve and a wipe take machine B, LF",
         "TITLE: MIX\n"
         "001  R1 V C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00\n"
         "002  R1 V C 00:00:02:00 00:00:02:00 01:00:01:00 01:00:01:00\n"
         "002  R2 V D 030 00:00:05:00 00:00:07:00 01:00:01:00 01:00:03:00\n"
         "* a note between events\n"
         "003  R2 V C 00:00:07:00 00:00:07:00 01:00:03:00 01:00:03:00\n"
         "003  BL V W001 015 00:00:00:00 00:00:01:00 01:00:03:00 01:00:04:00\n",
         10,
         "10 A 00:00:01:00 00:00:02:00 [R1      ]\n"
         "11 A 00:00:02:00 00:00:02:00 [R1      ] B 00:00:05:00 00:00:07:00 [R2      ]\n"
         "12 A 00:00:07:00 00:00:07:00 [R2      ] B 00:00:00:00 00:00:01:00 [BL      ]\n"},
        {"M2, SPLIT, comments, drop frame by FCM or by \";\", CR line ends",
         "TITLE: DF\rFCM: DROP FRAME\r"
         "001  R1 V C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00\r"
         "M2   R1       060.0                00:00:01:00\r"
         "* EFFECT NAME: SPEED\r* TAVRELLING NOTE\r"
         "FCM: NON-DROP FRAME\r"
         "SPLIT:   AUDIO DELAY=  00:00:00:07\r"
         "002  R2 V C 00:00:03;04 00:00:04:00 01:00:01;00 01:00:02;00\r",
         0,
         "0 A 00:00:01;00 00:00:02;00 [R1      ]\n"
         "1 A 00:00:03;04 00:00:04:00 [R2      ]\n"},
        {"audio-only events are left out",
         "001  R1 AA C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00\n"
         "002  R2 B C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00\n"
         "002  R2 A2 C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00\n"
         "003  R3 AA/V C 00:00:03:00 00:00:04:00 01:00:01:00 01:00:02:00\n"
         "AUD  3    4\n",
         0,
         "0 A 00:00:01:00 00:00:02:00 [R2      ]\n"
         "1 A 00:00:03:00 00:00:04:00 [R3      ]\n"},
        {"an empty list", "TITLE: NOTHING\r\nFCM: NON-DROP FRAME\r\n", 0, ""},
    };
    for (const Row& row : rows) {
        RegisterCollection read;
        std::string fault;
        EXPECT_TRUE(parseEditDecisionList(row.text, &read, &fault, row.firstRegister))
            << row.name << ": " << fault;
        EXPECT_EQ(described(read), row.registers) << row.name;
    }
}

// The fault parsing `text` gives, the same whole and a byte at a time, changing nothing.
std::string faultIn(const std::string& text, int32_t firstRegister = 0) {
    RegisterCollection registers;
    registers.set(4, machineA("00:00:00:00", "00:00:00:01", "KEEP"));
    const RegisterCollection before = registers;
    std::string whole;
    EXPECT_FALSE(parseEditDecisionList(text, &registers, &whole, firstRegister)) << text;
    EXPECT_TRUE(registers == before);
    EdlReader bytes(firstRegister);
    bool taken = true;
    for (char c : text) {
        taken = taken && bytes.take(std::string_view(&c, 1));
    }
    EXPECT_FALSE(taken && bytes.finish(&registers));
    EXPECT_EQ(bytes.fault(), whole);
    return whole;
}

TEST(EditDecisionList, RefusesMalformedListsWithTheLine) {
    auto eventNumbered = [](const char* number) {
        return std::string(number) + "  R1 V C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00\r\n";
    };
    const std::string event = eventNumbered("001");
    const std::string tavrel = event + "* TAVREL REGISTER 005 MACHINE A\r\n";
    const std::string tavrel2 = eventNumbered("002") + "* TAVREL REGISTER 005 MACHINE A\r\n";
    struct Row {
        std::string text;
        int32_t firstRegister;
        const char* fault;
    } rows[] = {
        {"TITLE: X\r\n\r\n001  LONGREEL1 V C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00", 0,
         "Line 3: the reel \"LONGREEL1\" is longer than eight characters."},
        {"001  R,1 V C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00", 0,
         "Line 1: the reel \"R,1\" holds a comma or a control character, which no clip name can "
         "hold."},
        {"\n\n001  R1 V C 00:00:01:45 00:00:02:00 01:00:00:00 01:00:01:00", 0,
         "Line 3: the source time 00:00:01:45 cannot be held by a register: hours, minutes and "
         "seconds must be 0 to 99 and frames 0 to 39."},
        {"001  R1 V C 00:00:01:00 00:00:02:00 01:00:00:00", 0,
         "Line 1: \"001  R1 V C 00:00:01:00 00:00...\" is not an event: an event line holds an "
         "event number, a reel, the channels, a transition and four times."},
        {"001  R1 V X 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00", 0,
         "Line 1: \"001  R1 V X 00:00:01:00 00:00...\" is not an event: an event line holds an "
         "event number, a reel, the channels, a transition and four times."},
        {"TITLE: X\rHELLO THERE\r", 0,
         "Line 2: \"HELLO THERE\" is not a line of an edit decision list."},
        {"FCM: 29.97", 0, "Line 1: FCM is \"29.97\", neither DROP FRAME nor NON-DROP FRAME."},
        {event + event + "001  R3 V W002 010 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00", 0,
         "Line 3: event 001 has a third source; a register takes two, as machines A and B."},
        {event + "002  R1 V C 00:00:01:00 00:00:02:00 01:00:00:00 01:00:01:00\r\n", 65535,
         "Line 2: event 002 would be register 65536; registers go from 0 to 65535."},
        {event + "* TAVREL REGISTER 65536 MACHINE B\r\n", 0,
         "Line 2: register 65536 is beyond the highest register, 65535."},
        {"* TAVREL REGISTER 001 MACHINE A\r\n", 0, "Line 1: the Tavrel comment follows no event."},
        {event + "* TAVREL REGISTER 001 MACHINE E\r\n", 0,
         "Line 2: \"* TAVREL REGISTER 001 MACHINE E\" is not one of Tavrel's comments."},
        {tavrel + "\r\n" + eventNumbered("002"), 0,
         "Line 4: event 002 has no Tavrel comment after it, as every other event of this list "
         "has."},
        {event + tavrel2, 0, "Line 3: a Tavrel comment, though the events before it have none."},
        {tavrel + tavrel2, 0, "Line 4: register 005, machine A comes a second time."},
        {tavrel + "* TAVREL REGISTER 004\r\n", 0,
         "Line 3: register 004 comes after register 005; Tavrel writes registers in ascending "
         "order."},
        {std::string(EdlLineLimit + 1, '*'), 0, "Line 1 is longer than 262144 bytes."},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(faultIn(row.text, row.firstRegister), row.fault);
    }
}

TEST(EditDecisionList, SavesAtomicallyAndReadsTheFileBack) {
    TempFolder folder;
    const std::string path = folder.path("out.edl");
    RegisterCollection registers;
    registers.set(3, machineA("00:00:01:00", "00:00:02:00", "SHOT0003"));
    EdlExportSettings settings;
    settings.title = "cuts.vg2";
    TavrelError error;
    ASSERT_TRUE(
        writeEditDecisionList(path, registers, settings, RefusedEvents::RefuseExport, &error))
        << error.description;
    std::string text;
    ASSERT_TRUE(formatEditDecisionList(registers, settings, &text));
    EXPECT_EQ(TempFolder::readBytes(path), text);
    EXPECT_EQ(folder.listing(), "out.edl\n"); // no temporary file left behind
    // A refused export leaves the file as it was.
    registers.set(4, machineA("00:00:02:00", "00:00:01:00"));
    EXPECT_FALSE(
        writeEditDecisionList(path, registers, settings, RefusedEvents::RefuseExport, &error));
    EXPECT_EQ(error.failureReason, "Register 004, machine A: OUT is not after IN");
    EXPECT_EQ(TempFolder::readBytes(path), text);

    RegisterCollection read;
    ASSERT_TRUE(readEditDecisionList(path, &read, &error));
    EXPECT_EQ(described(read), "3 A 00:00:01:00 00:00:02:00 [SHOT0003]\n");
    TempFolder::writeBytes(path, text + "JUNK\r\n");
    EXPECT_FALSE(readEditDecisionList(path, &read, &error));
    EXPECT_EQ(error.description, "Error processing .edl file");
    EXPECT_EQ(error.recoverySuggestion,
              "The file out.edl is malformed and could not be processed.");
    EXPECT_EQ(error.detail, "Line 5: \"JUNK\" is not a line of an edit decision list.");
    EXPECT_EQ(described(read), "3 A 00:00:01:00 00:00:02:00 [SHOT0003]\n");
}

} // namespace

// Words are found eight bytes at a time: blanks at every place of those eight, and bytes a bit
// away from a blank (0xA0, 0x89, 0x21, 0x08, 0x00), must split a line as one byte at a time does.
TEST(EditDecisionList, SplitsWordsAtEveryBlankWhereverItFalls) {
    const std::string near = std::string("\xA0\x89\x21\x08\x00\x1F\x0A", 7);
    for (size_t length = 1; length <= 19; ++length) {
        for (const char* gap : {" ", "\t", " \t ", "         ", "\t\t\t\t\t\t\t\t\t"}) {
            std::string line = gap;
            std::vector<std::string> expected;
            for (size_t word = 0; word < 4; ++word) {
                std::string text;
                for (size_t i = 0; i < length + word; ++i) {
                    text += near[(i + word) % near.size()];
                }
                expected.push_back(text);
                line += text + gap;
            }
            line.pop_back(); // a line may end with a word or with blanks
            std::vector<std::string> words;
            size_t at = 0;
            for (std::string_view word = nextEdlWord(line, &at); !word.empty();
                 word = nextEdlWord(line, &at)) {
                words.emplace_back(word);
            }
            EXPECT_EQ(words, expected)
                << "length " << length << ", gap of " << std::string(gap).size();
            EXPECT_EQ(at, line.size());
        }
    }
}
