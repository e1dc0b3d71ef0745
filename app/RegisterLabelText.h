// A register's label as the window's texts show it: records::registerLabel ("%03d") as a QString.
#pragma once

#include "RegisterLabel.h"

#include <QString>

#include <cstdint>

namespace tavrel::app {

inline QString registerLabelText(int32_t number) {
    return QString::fromLatin1(records::registerLabel(number));
}

} // namespace tavrel::app
