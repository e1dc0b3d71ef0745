#include "CommandEnabling.h"

#include <iterator>

namespace tavrel::app {

namespace {

// What a command needs, all of it.
enum Need : uint32_t {
    Always = 0,
    Port = 1u << 0,
    Idle = 1u << 1,
    Registers = 1u << 2,
    Saveable = 1u << 3, // registers to write, or changes not saved (an emptied table is saved)
    Selection = 1u << 4,
    SelectionOrField = 1u << 5,
    Field = 1u << 6,
    Undoable = 1u << 7,
    Redoable = 1u << 8,
};

struct Rule {
    Command command;
    uint32_t needs;
};

constexpr Rule Rules[] = {
    {Command::New, Idle},
    {Command::Open, Idle},
    {Command::OpenRecent, Idle},
    {Command::Close, Idle},
    {Command::Save, Idle | Saveable},
    {Command::SaveAs, Idle | Saveable},
    {Command::ExportEditDecisionList, Idle | Registers},
    {Command::ExportCsv, Idle | Registers},
    {Command::ImportEditDecisionList, Idle},
    {Command::ImportCsv, Idle},
    {Command::Quit, Always},
    {Command::ChoosePort, Always},
    {Command::DownloadRegisters, Port | Idle},
    {Command::UploadRegisters, Port | Idle | Registers},
    {Command::DownloadMenuSettings, Port | Idle},
    {Command::UploadMenuSettings, Port | Idle},
    // Without a port it explains that the device cannot be reached.
    {Command::ShowVersion, Idle},
    {Command::Help, Always},
    {Command::About, Always},
    {Command::AboutQt, Always},
    {Command::Undo, Idle | Undoable},
    {Command::Redo, Idle | Redoable},
    {Command::Cut, Idle | Selection},
    {Command::Copy, Idle | Selection},
    {Command::CopyField, Idle | Field},
    {Command::Paste, Idle},
    {Command::Delete, Idle | SelectionOrField},
    {Command::InsertRegister, Idle},
    {Command::Duplicate, Idle | Selection},
    {Command::GoToRegister, Idle | Registers},
    {Command::SelectAll, Idle | Registers},
    {Command::FrameRate, Idle},
    {Command::Compare, Port | Idle},
    {Command::CompareSelected, Port | Idle | Selection},
    {Command::RestoreSnapshot, Port | Idle},
    {Command::SafeUpload, Always},
    {Command::DeviceInformation, Port | Idle},
    {Command::OffsetRegisters, Port | Idle},
};

bool meets(uint32_t needs, const CommandState& s) {
    const std::pair<Need, bool> facts[] = {
        {Port, s.portSelected},
        {Idle, !s.jobRunning},
        {Registers, s.registersLoaded},
        {Saveable, s.registersLoaded || s.unsavedChanges},
        {Selection, s.selection},
        {SelectionOrField, s.selection || s.onField},
        {Field, s.onField},
        {Undoable, s.canUndo},
        {Redoable, s.canRedo},
    };
    for (const auto& [need, fact] : facts) {
        if ((needs & need) != 0 && !fact) {
            return false;
        }
    }
    return true;
}

} // namespace

bool commandEnabled(Command command, const CommandState& state) {
    for (const Rule& rule : Rules) {
        if (rule.command == command) {
            return meets(rule.needs, state);
        }
    }
    return true;
}

} // namespace tavrel::app
