// When each command of the window can be used: one table for the menus, the toolbar and the
// context menu alike.
#pragma once

#include <cstdint>

namespace tavrel::app {

enum class Command {
    New,
    Open,
    OpenRecent, // the Open Recent menu
    Close,
    Save,
    SaveAs,
    ExportEditDecisionList,
    ExportCsv,
    ImportEditDecisionList,
    ImportCsv,
    Quit,
    ChoosePort,
    DownloadRegisters,
    UploadRegisters,
    DownloadMenuSettings,
    UploadMenuSettings,
    ShowVersion,
    Help,
    About,
    AboutQt,
    Undo,
    Redo,
    Cut,
    Copy,
    CopyField,
    Paste,
    Delete,
    InsertRegister,
    Duplicate,
    GoToRegister,
    SelectAll,
    FrameRate,
    Compare,
    CompareSelected,
    RestoreSnapshot,
    SafeUpload,
    DeviceInformation,
    OffsetRegisters,
};

// The facts the commands' enabling follows.
struct CommandState {
    bool portSelected = false;    // a port of the pop-up, not "Other Port…"
    bool jobRunning = false;      // a device job runs (editing and the device wait for it)
    bool registersLoaded = false; // the table holds a register
    bool unsavedChanges = false;
    bool selection = false; // registers or fields are selected
    bool onField = false;   // the current cell is a register's field
    bool canUndo = false;
    bool canRedo = false;
};

bool commandEnabled(Command command, const CommandState& state);

} // namespace tavrel::app
