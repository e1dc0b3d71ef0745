// The simulator's stable device name: a symbolic link that follows the pty across hang-ups.
#pragma once

#include <string>

namespace tavrel::sim {

// Points `linkPath` at `target`, replacing an earlier link in one step, so that an open of the
// link never finds it missing. Refuses to replace anything that is not a symbolic link.
bool pointSymbolicLink(const std::string& linkPath, const std::string& target, std::string* error);

// Removes `linkPath` when it is a symbolic link to `target`.
void removeSymbolicLink(const std::string& linkPath, const std::string& target);

} // namespace tavrel::sim
