// Renders the toolbar and application icons from their SVG sources into the PNG files that the
// application loads (32 px, and 64 px as "@2x"), so that Tavrel needs no SVG support at run time.
// Needs Qt's SVG image plugin (Debian: libqt6svg6) only when the icons change:
//   g++ -std=c++17 -fPIC render_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/render_icons
//   /tmp/render_icons resources/icons/*.svg
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        QFileInfo source(QString::fromLocal8Bit(argv[i]));
        QString base = source.absolutePath() + "/" + source.completeBaseName();
        for (auto [size, suffix] : {std::pair{32, ""}, std::pair{64, "@2x"}}) {
            QImageReader reader(source.filePath());
            reader.setScaledSize(QSize(size, size));
            QImage image = reader.read();
            if (image.isNull() || !image.save(base + suffix + ".png")) {
                std::fprintf(stderr, "%s: %s\n", argv[i], qPrintable(reader.errorString()));
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
