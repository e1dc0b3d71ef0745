#include "RegisterLabel.h"

#include <cstdio>

namespace tavrel::records {

std::string registerLabel(int32_t number) {
    char label[16];
    std::snprintf(label, sizeof label, "%03d", number);
    return label;
}

} // namespace tavrel::records
