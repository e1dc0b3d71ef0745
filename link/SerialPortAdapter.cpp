#include "SerialPortAdapter.h"

#include "SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

namespace tavrel::link {

using records::SerialByIdFolder;

namespace {

std::string property(const UdevProperties& properties, const std::string& name) {
    auto found = properties.find(name);
    return found == properties.end() ? std::string() : found->second;
}

// One line of words: control characters (which an adapter's strings may hold once decoded)
// become spaces, and runs of spaces one.
std::string tidied(const std::string& text) {
    std::string line;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool space = byte <= ' ' || byte == 0x7f;
        if (!space) {
            line += c;
        } else if (!line.empty() && line.back() != ' ') {
            line += ' ';
        }
    }
    if (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// A vendor or model: the adapter's own string decoded, or that string as udev made it safe with
// its underscores as the spaces they stand for, or else the hardware database's name. The
// adapter's own are short and what its label and `lsusb` show ("FTDI", "FT232R USB UART"); the
// database's are long ("Future Technology Devices International, Ltd").
std::string adapterName(const UdevProperties& properties, const std::string& key) {
    std::string name = tidied(decodeUdevEncoded(property(properties, key + "_ENC")));
    if (name.empty()) {
        std::string safe = property(properties, key);
        std::replace(safe.begin(), safe.end(), '_', ' ');
        name = tidied(safe);
    }
    if (name.empty()) {
        name = tidied(property(properties, key + "_FROM_DATABASE"));
    }
    return name;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

} // namespace

std::string adapterDescription(const UdevProperties& properties) {
    std::string description;
    for (const std::string& piece :
         {adapterName(properties, "ID_VENDOR"), adapterName(properties, "ID_MODEL"),
          tidied(property(properties, "ID_SERIAL_SHORT"))}) {
        if (!piece.empty()) {
            description += (description.empty() ? "" : " ") + piece;
        }
    }
    return description;
}

std::string adapterIdentity(const UdevProperties& properties) {
    std::istringstream links(property(properties, "DEVLINKS"));
    std::vector<std::string> byId;
    for (std::string link; links >> link;) {
        if (link.starts_with(SerialByIdFolder) &&
            link.size() > std::string(SerialByIdFolder).size()) {
            byId.push_back(link);
        }
    }
    if (!byId.empty()) {
        return *std::min_element(byId.begin(), byId.end());
    }
    return property(properties, "ID_SERIAL");
}

std::string decodeUdevEncoded(const std::string& encoded) {
    std::string text;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x' &&
            hexDigit(encoded[i + 2]) >= 0 && hexDigit(encoded[i + 3]) >= 0) {
            text += static_cast<char>(hexDigit(encoded[i + 2]) * 16 + hexDigit(encoded[i + 3]));
            i += 3;
        } else {
            text += encoded[i];
        }
    }
    return text;
}

} // namespace tavrel::link
