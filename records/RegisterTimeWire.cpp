#include "RegisterTimeWire.h"

namespace tavrel::records {

namespace vrg500wire {

void parseRegisterTime(const uint8_t wire[4], VRG500_registerTime* time) {
    time->isNull = (wire[0] & 0x80) ? 1 : 0;
    time->dropFrame = (wire[0] & 0x40) ? 1 : 0;
    time->frames = parseBCD(wire[0] & 0x3F);
    time->seconds = parseBCD(wire[1]);
    time->minutes = parseBCD(wire[2]);
    time->hours = parseBCD(wire[3]);
}

void packRegisterTime(VRG500_registerTime time, uint8_t wire[4]) {
    // The frames byte has two bits for the tens digit; the flags sit above them.
    wire[0] = packBCD(time.frames, 3);
    if (time.dropFrame) {
        wire[0] |= 0x40;
    }
    if (time.isNull) {
        wire[0] |= 0x80;
    }
    wire[1] = packBCD(time.seconds);
    wire[2] = packBCD(time.minutes);
    wire[3] = packBCD(time.hours);
}

} // namespace vrg500wire

} // namespace tavrel::records
