// Writes the pseudo-translation the tests load: every text of a translation source file (.ts)
// "translated" to itself between ⟦ and ⟧ and lengthened by 40% with "~", so that a text the
// window shows without translating it stands out, and so does a layout that cannot take longer
// texts. Usage: pseudo_translation IN.ts OUT.ts
#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cstdio>

namespace {

QString pseudo(const QString& source) {
    const qsizetype longer = (source.size() * 2 + 4) / 5; // 40%, rounded up
    return QString(QChar(0x27e6)) + source + QString(longer, u'~') + QString(QChar(0x27e7));
}

// Copies `reader` to `writer`, giving each message the pseudo translation of its source.
void translate(QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    QString source;
    bool numerus = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"TS") {
            writer.writeStartElement("TS");
            writer.writeAttribute("version", reader.attributes().value("version").toString());
            writer.writeAttribute("language", "en");
        } else if (reader.isStartElement() && reader.name() == u"message") {
            numerus = reader.attributes().value("numerus") == u"yes";
            writer.writeCurrentToken(reader);
        } else if (reader.isStartElement() && reader.name() == u"source") {
            writer.writeCurrentToken(reader);
            source = reader.readElementText();
            writer.writeCharacters(source);
            writer.writeEndElement();
        } else if (reader.isStartElement() && reader.name() == u"translation") {
            reader.skipCurrentElement();
            writer.writeStartElement("translation");
            if (numerus) { // English has two forms
                writer.writeTextElement("numerusform", pseudo(source));
                writer.writeTextElement("numerusform", pseudo(source));
            } else {
                writer.writeCharacters(pseudo(source));
            }
            writer.writeEndElement();
        } else if (!reader.isStartDocument() && !reader.isDTD()) {
            writer.writeCurrentToken(reader);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pseudo_translation IN.ts OUT.ts\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "pseudo_translation: cannot open %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    QXmlStreamReader reader(&in);
    QXmlStreamWriter writer(&out);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDTD("<!DOCTYPE TS>");
    translate(reader, writer);
    writer.writeEndDocument();
    if (reader.hasError()) {
        std::fprintf(stderr, "pseudo_translation: %s: %s\n", argv[1],
                     reader.errorString().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
