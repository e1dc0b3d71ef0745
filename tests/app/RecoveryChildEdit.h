// Register 7 as recovery_child leaves it before it is killed, with bytes no plain register file
// holds (an unset time hiding numbers, a clip name of blanks); the recovery test expects it back.
#pragma once

#include "RegisterEntry.h"

inline tavrel::records::RegisterEntry recoveryChildEdit() {
    tavrel::records::RegisterEntry edited;
    edited.reg.inA = {1, 2, 3, 4, 0, 0};
    edited.reg.outA = {0x12, 0x34, 0x56, 0x00, 0, 1};
    edited.clips[1] = "        ";
    return edited;
}
