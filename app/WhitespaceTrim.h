// Trimming of version texts for display: spaces and tabs (and the no-break space, which belongs
// to the same class of blank characters) go from both ends; line breaks stay.
#pragma once

#include <QString>

QString trimmedWhitespace(const QString& text);
