// Writes the catalogue of the libraries' texts that the window translates: every message of a
// translation source file (.ts) that is not the window's own, as a C++ table of context and
// English template. The window's contexts are its classes' (tavrel::app::...) and QObject; the
// libraries' are whatever the translation tools make of where TAVREL_TEXT stands.
// Usage: text_catalogue IN.ts OUT.cpp
#include <QFile>
#include <QXmlStreamReader>

#include <cstdio>
#include <string>

namespace {

bool isLibraryContext(const QString& context) {
    return context != QLatin1String("QObject") && !context.startsWith(QLatin1String("tavrel::app"));
}

// A C string literal of `text`'s UTF-8 bytes; every byte beyond printable ASCII as three octal
// digits, which nothing after it can lengthen.
std::string literal(const QString& text) {
    std::string out = "\"";
    for (const char c : text.toStdString()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\%03o", byte);
            out += escaped;
        }
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: text_catalogue IN.ts OUT.cpp\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "text_catalogue: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string entries;
    QXmlStreamReader reader(&in);
    QString context;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (reader.name() == u"name") {
            context = reader.readElementText();
        } else if (reader.name() == u"source" && isLibraryContext(context)) {
            entries +=
                "    {" + literal(context) + ", " + literal(reader.readElementText()) + "},\n";
        }
    }
    if (reader.hasError()) {
        std::fprintf(stderr, "text_catalogue: %s: %s\n", argv[1],
                     reader.errorString().toLocal8Bit().constData());
        return 1;
    }
    const std::string out = "// Made by text_catalogue from " + std::string(argv[1]) +
                            ".\n#include \"LibraryTexts.h\"\n\nnamespace tavrel::app {\n\n"
                            "const std::vector<LibraryText>& libraryTexts() {\n"
                            "    static const std::vector<LibraryText> texts{\n" +
                            entries +
                            "    };\n    return texts;\n}\n\n} // namespace tavrel::app\n";
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(out.data(), static_cast<qint64>(out.size())) !=
            static_cast<qint64>(out.size())) {
        std::fprintf(stderr, "text_catalogue: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
