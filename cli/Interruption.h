// SIGINT and SIGTERM while tavrelctl works: the first one is noted, so that a transfer stops
// between two registers and leaves its output file as it was; a second one ends the program at
// once. A descriptor becomes readable when a signal arrives, for loops that wait in poll().
#pragma once

// Installs the handlers (once).
void watchForInterruption();

bool interruptionRequested();

// Readable once a signal has arrived; -1 before watchForInterruption().
int interruptionDescriptor();
