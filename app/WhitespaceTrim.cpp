#include "WhitespaceTrim.h"

namespace {

bool isBlank(QChar c) {
    return c == QChar(u'\t') || c.category() == QChar::Separator_Space;
}

} // namespace

QString trimmedWhitespace(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin);
}
