// A register's number as people read it everywhere: at least three digits, zero-padded ("%03d").
#pragma once

#include <cstdint>
#include <string>

namespace tavrel::records {

std::string registerLabel(int32_t number);

} // namespace tavrel::records
