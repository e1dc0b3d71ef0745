#include "SerialPortList.h"

namespace tavrel::records {

std::optional<std::string> portNameOfByIdLink(const SerialPortList& ports,
                                              const std::string& linkName) {
    if (linkName.empty() || linkName.find('/') != std::string::npos) {
        return std::nullopt;
    }
    const std::string identity = SerialByIdFolder + linkName;
    for (const auto& [name, port] : ports) {
        if (port.identity == identity) {
            return name;
        }
    }
    return std::nullopt;
}

} // namespace tavrel::records
