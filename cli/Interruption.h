// SIGINT and SIGTERM while tavrelctl works: the first one is noted, so that a command stops
// before it sends anything more and leaves its output file as it was; a second one ends the
// program at once. A descriptor becomes readable when a signal arrives, for loops that wait in
// poll(); every exchange with the device watches it too, so a wait for a reply ends at once.
#pragma once

namespace tavrel::cli {

// Installs the handlers and hands the descriptor to the device link (once).
void watchForInterruption();

bool interruptionRequested();

// Readable once a signal has arrived; -1 before watchForInterruption().
int interruptionDescriptor();

} // namespace tavrel::cli
