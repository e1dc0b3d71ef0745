// The progress sheet of the register transfers: built by AppController::_createProgressSheet()
// (ProgressSheet.cpp) into the controller's progress outlets.
#pragma once
