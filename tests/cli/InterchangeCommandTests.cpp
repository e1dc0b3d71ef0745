// export, import and show --json through real processes: what goes out as CSV or JSON comes back
// byte for byte, standard input and output serve in pipes, and refusals are as every other
// command's.
#include "CliFixture.h"
#include "RegisterCsv.h"
#include "RegisterJson.h"
#include "RegisterWire.h"

namespace {

const std::string Plain = "007,01:00:00:00,01:00:10:00,**:**:**;**," + Nulls.substr(36) +
                          ",000,012,SHOT0001,\"Q\" 1,********,with, comma\xE9\r\n" + "300," +
                          Nulls + ",255,000,        x,B,C,D\r\n";

// A shell command line run with tavrelctl as $0.
ToolResult shell(const std::string& script) {
    return runTool({}, {{"sh", "-c", script}, ""});
}

std::string usage(const std::string& problem) {
    return "tavrelctl: " + problem + "\nTry 'tavrelctl --help' for more information.\n";
}

class Interchange : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        TempFolder::writeBytes(file, Plain);
    }
    const std::string file = folder.path("s.vg2");
};

} // namespace

// A plain file exported and imported again is the same file, through files or standard input
// and output; a range exports its registers alone.
TEST_F(Interchange, ExportedFileImportsAsItWas) {
    RegisterCollection registers;
    std::string why;
    ASSERT_TRUE(parseRegisterFile(Plain, &registers, &why)) << why << Plain;
    RegisterCollection only7;
    only7.set(7, *registers.find(7));
    for (const std::string format : {"csv", "json"}) {
        std::string text;
        std::string text7;
        ASSERT_TRUE(format == "csv" ? formatRegisterCsv(registers, &text)
                                    : formatRegisterJson(registers, &text));
        ASSERT_TRUE(format == "csv" ? formatRegisterCsv(only7, &text7)
                                    : formatRegisterJson(only7, &text7));
        const std::string out = folder.path("s." + format);
        const std::string back = folder.path("back.vg2");
        const std::pair<std::vector<std::string>, ToolResult> steps[] = {
            {{"export", "-f", format, file, "-o", out}, succeeded()},
            {{"export", "--format=" + format, file, "-o", "-"}, succeeded(text)},
            {{"export", "-f", format, "-r", "0-100", file, "-o", "-"}, succeeded(text7)},
            {{"import", "-f", format, out, "-o", back}, succeeded()},
            {{"import", "-f", format, out, "-o", "-"}, succeeded(Plain)},
        };
        for (const auto& [args, result] : steps) {
            EXPECT_EQ(runTool(args), result) << args[0] << " " << format;
        }
        EXPECT_EQ(TempFolder::readBytes(out), text);
        EXPECT_EQ(TempFolder::readBytes(back), Plain);
        EXPECT_EQ(shell("\"$0\" export -f " + format + " - -o - < " + file +
                        " | \"$0\" import -f " + format + " - -o -"),
                  succeeded(Plain));
    }
}

// What the device holds goes through a pipe into show, and JSON carries every byte of an exact
// file: unset times hiding numbers, bytes that are not decimal, no clip names, blank names. The
// file imported from it puts the device's bytes back.
TEST_F(Interchange, JsonCarriesTheDevicesBytes) {
    const std::array<std::pair<std::array<uint8_t, 34>, std::optional<std::array<uint8_t, 32>>>, 3>
        held = {{
            {{0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x56, 0x34, 0x12, 0xC0, 0, 0, 1},
             clipWire(std::string(32, ' '))},
            {{0x00, 0x00, 0x00, 0xAA, 0x00, 0x1A, 0x00, 0x01}, std::nullopt},
            {{0x29, 0x59, 0x59, 0x23}, clipWire("REEL0001REEL0002REEL0003REEL\xE9\"\\,")},
        }};
    RegisterCollection exact;
    for (uint16_t n = 0; n < uint16_t(held.size()); ++n) {
        sim.setRegisterWire(n, held[n].first);
        sim.setClipNames(n, held[n].second);
        RegisterEntry entry;
        decodeRegisterWire(held[n].first, &entry);
        for (size_t machine = 0; held[n].second && machine < 4; ++machine) {
            entry.clips[machine].assign(held[n].second->begin() + 8 * machine,
                                        held[n].second->begin() + 8 * machine + 8);
        }
        entry.noClipNames = !held[n].second;
        exact.set(n, entry);
    }
    std::string json;
    ASSERT_TRUE(formatRegisterJson(exact, &json));
    const std::string exactFile = folder.path("exact.vg2");
    const std::string jsonFile = folder.path("exact.json");
    const std::string back = folder.path("back.vg2");
    ASSERT_TRUE(writeExactRegisterFile(exactFile, exact));
    EXPECT_EQ(runTool({"show", "--json", exactFile}), succeeded(json));
    EXPECT_EQ(runTool({"export", "-f", "json", exactFile, "-o", jsonFile}), succeeded());
    EXPECT_EQ(runTool({"import", "-f", "json", jsonFile, "-o", back}), succeeded());
    EXPECT_EQ(TempFolder::readBytes(back), TempFolder::readBytes(exactFile));
    sim.clearReceivedFrames();
    for (uint16_t n = 0; n < uint16_t(held.size()); ++n) {
        sim.setRegisterWire(n, {});
        sim.setClipNames(n, clipWire(std::string(32, 'x')));
    }
    // A plain upload writes every register's names: the no-clip name where there were none.
    ASSERT_EQ(run("upload -p PORT -r 0-2 " + back), succeeded());
    for (uint16_t n = 0; n < uint16_t(held.size()); ++n) {
        EXPECT_EQ(sim.registerWire(n), held[n].first) << n;
        EXPECT_EQ(sim.clipNames(n), held[n].second.value_or(clipWire(std::string(32, '*')))) << n;
    }

    // Through a pipe: the downloaded plain file's registers, as its JSON.
    std::string plainFile;
    RegisterCollection plain;
    const std::string downloaded = folder.path("d.vg2");
    ASSERT_EQ(run("download -p PORT -r 2 -o " + downloaded), succeeded());
    ASSERT_TRUE(readRegisterFile(downloaded, &plain));
    ASSERT_TRUE(formatRegisterJson(plain, &json));
    EXPECT_EQ(shell("\"$0\" download -p " + port + " -r 2 -o - | \"$0\" show --json -"),
              succeeded(json));
    EXPECT_EQ(shell("\"$0\" show - < " + downloaded), runTool({"show", downloaded}));
}

// An edit decision list gives back the registers' events and numbers; an event that cannot be
// exported refuses the whole list, named.
TEST_F(Interchange, EditDecisionListsOutAndBack) {
    const std::string list = folder.path("s.edl");
    const std::string backwards = folder.path("backwards.vg2");
    TempFolder::writeBytes(backwards, "007,01:00:00:00,01:00:10:00,02:00:00:00,01:00:00:00," +
                                          Nulls.substr(48) +
                                          ",000,000,SHOT0001,********,********,********\r\n");
    const std::string back = "007,01:00:00:00,01:00:10:00," + Nulls.substr(24) +
                             ",000,000,SHOT0001,********,********,********\r\n300," + Nulls +
                             ",000,000,********,********,********,********\r\n";
    EXPECT_EQ(runTool({"export", "-f", "edl", "--frame-rate", "25", file, "-o", list}),
              succeeded());
    EXPECT_EQ(runTool({"import", "-f", "edl", "--first-register", "9", list, "-o", "-"}),
              succeeded(back));
    EXPECT_EQ(runTool({"export", "-f", "edl", "--frame-rate", "25", backwards, "-o", list}),
              failed("tavrelctl: The edit decision list cannot be exported\n  (Register 007, "
                     "machine B: OUT is not after IN)\n"));
}

// Refusals: usage errors as every command's, a malformed file named with its line and column,
// and nothing written then.
TEST_F(Interchange, RefusesWithTheUsualStatuses) {
    const std::string csv = folder.path("bad.csv");
    const std::string out = folder.path("out.vg2");
    TempFolder::writeBytes(csv, std::string(RegisterCsvHeader) + "\r\n7,01:00:00:00,12:6x:00:00" +
                                    std::string(6, ',') + ",0,0,A,B,C,D\r\n");
    TempFolder::writeBytes(folder.path("bad.json"),
                           "{\"format\": \"tavrel-registers\",\n \"x\": 1}");
    TempFolder::writeBytes(out, "before");
    const std::pair<std::string, ToolResult> cases[] = {
        {"export FILE -o -",
         {2, "", usage("the export command needs a format (-f csv, json or edl)")}},
        {"export -f xls FILE -o -", {2, "", usage("unknown format 'xls': use csv, json or edl")}},
        {"export -f edl FILE -o -",
         {2, "",
          usage("an edit decision list needs a frame rate (--frame-rate 24, 25, 30 or 30df)")}},
        {"export -f edl --frame-rate 29.97 FILE -o -",
         {2, "", usage("bad frame rate '29.97': use 24, 25, 30 or 30df")}},
        {"show --frame-rate 60 FILE",
         {2, "", usage("bad frame rate '60': use 24, 25, 30 or 30df")}},
        {"export -f edl --frame-rate 24 --record-start 01:00:00:24 FILE -o -",
         {2, "",
          usage(
              "bad record start '01:00:00:24': At 24 frames per second the frames go up to 23.")}},
        {"import -f edl --first-register 65536 FILE -o -",
         {2, "", usage("bad register '65536': use a number from 0 to 65535")}},
        {"export -f csv --frame-rate 25 FILE -o -",
         {2, "", usage("option '--frame-rate' is for -f edl only")}},
        {"import -f json --first-register 3 FILE -o -",
         {2, "", usage("option '--first-register' is for -f edl only")}},
        {"import -f csv --frame-rate 25 FILE -o -",
         {2, "", usage("the import command takes no option '--frame-rate'")}},
        {"export -f csv FILE", {2, "", usage("the export command needs an output file (-o OUT)")}},
        {"import -f csv -o -", {2, "", usage("the import command needs a file to import (IN)")}},
        {"export -f csv -r 9-1 FILE -o -",
         {2, "", usage("bad range '9-1': use all, first100, N-M or N with 0 <= N <= M <= 65535")}},
        {"show --json", {2, "", usage("the show command needs a register file (FILE.vg2)")}},
        {"import -f csv " + csv + " -o " + out,
         failed("tavrelctl: Error processing .csv file\nThe file " + csv +
                " is malformed and could not be processed.\nLine 2, column 3 (A OUT): "
                "\"12:6x:00:00\" is not a time (HH:MM:SS:FF or **:**:**:**).\n")},
        {"import -f json " + folder.path("bad.json") + " -o " + out,
         failed("tavrelctl: Error processing .json file\nThe file " + folder.path("bad.json") +
                " is malformed and could not be processed.\nLine 2, column 2: \"x\" is not a key "
                "here; the keys are \"format\", \"version\", \"registers\".\n")},
        {"import -f csv " + file + " -o " + out,
         failed("tavrelctl: Error processing .csv file\nThe file " + file +
                " is malformed and could not be processed.\nLine 1, column 13: a quoted cell "
                "must end with a double quote before a comma or a line end.\n")},
    };
    for (auto [command, result] : cases) {
        const size_t at = command.find("FILE");
        if (at != std::string::npos) {
            command.replace(at, 4, file);
        }
        EXPECT_EQ(run(command), result) << command;
        EXPECT_EQ(TempFolder::readBytes(out), "before") << command;
    }
}
