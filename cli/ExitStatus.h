// The exit statuses of tavrelctl.
#pragma once

namespace tavrel::cli {

enum ExitStatus : int {
    ExitSuccess = 0,
    ExitFailure = 1,      // a device, file or data error
    ExitUsage = 2,        // a usage error
    ExitInterrupted = 130 // SIGINT or SIGTERM during a transfer
};

} // namespace tavrel::cli
