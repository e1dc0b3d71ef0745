// tavrelctl version -p PORT
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "PrintableText.h"
#include "VersionText.h"

namespace tavrel::cli {

using records::trimmedVersionText;

ExitStatus runVersion(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 0, "no arguments", &problem)) {
        return reportUsageError(problem);
    }
    ExitStatus failure = ExitFailure;
    auto path = requiredPortPath(line, &failure);
    std::string version;
    if (!path || !connectDevice(*path, &failure, &version)) {
        return failure;
    }
    printBytes(printableText(trimmedVersionText(version)) + "\n");
    return ExitSuccess;
}

} // namespace tavrel::cli
