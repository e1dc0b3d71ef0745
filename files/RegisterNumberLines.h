// The line each register number of a CSV or JSON text was read on, for the refusal of a number
// read twice. The numbers a device has (0 to 65535) are looked up in a table, without a hash or
// an allocation for each register; any other whole number a text may hold is kept aside.
#pragma once

#include "VRG500.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tavrel::files {

class RegisterNumberLines {
  public:
    // Notes that `number` was read on `line` (from 1), unless it was read before: then false,
    // with the line it was first read on in *firstLine.
    bool add(int32_t number, uint64_t line, uint64_t* firstLine) {
        if (number < 0 || number > records::HighestRegisterNumber) {
            const auto [seen, added] = _others.emplace(number, line);
            *firstLine = seen->second;
            return added;
        }
        if (_lines.empty()) {
            _lines.resize(size_t{records::HighestRegisterNumber} + 1);
        }
        uint64_t& held = _lines[static_cast<size_t>(number)];
        if (held != 0) {
            *firstLine = held;
            return false;
        }
        held = line;
        return true;
    }

  private:
    std::vector<uint64_t> _lines; // 0: not read yet
    std::unordered_map<int32_t, uint64_t> _others;
};

} // namespace tavrel::files
