// The range sheet of the register transfers: built by AppController::_createRangeSheet()
// (RangeSheet.cpp) into the controller's range outlets.
#pragma once
