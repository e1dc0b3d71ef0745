// Renders the toolbar and application icons from their SVG sources into the PNG files that the
// application loads (32 px, and 64 px as "@2x"), so that Tavrel needs no SVG support at run time.
// With --hicolor DIR, renders instead the sizes a desktop's icon theme looks for, as
// DIR/NxN/apps/NAME.png with NAME the source's name in lower case (packaging/icons/hicolor).
// Needs Qt's SVG image plugin (Debian: libqt6svg6) only when the icons change:
//   g++ -std=c++17 -fPIC render_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/render_icons
//   /tmp/render_icons resources/icons/*.svg
//   /tmp/render_icons --hicolor packaging/icons/hicolor resources/icons/Tavrel.svg
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

// Each size and the file it is written to.
using Renditions = std::vector<std::pair<int, QString>>;

Renditions toolbarRenditions(const QFileInfo& source) {
    const QString base = source.absolutePath() + "/" + source.completeBaseName();
    return {{32, base + ".png"}, {64, base + "@2x.png"}};
}

Renditions themeRenditions(const QFileInfo& source, const QString& themeFolder) {
    Renditions renditions;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QString("%1/%2x%2/apps").arg(themeFolder).arg(size);
        QDir().mkpath(folder);
        renditions.emplace_back(size, folder + "/" + source.completeBaseName().toLower() + ".png");
    }
    return renditions;
}

int render(const QFileInfo& source, const Renditions& renditions) {
    int failures = 0;
    for (const auto& [size, output] : renditions) {
        QImageReader reader(source.filePath());
        reader.setScaledSize(QSize(size, size));
        QImage image = reader.read();
        if (image.isNull() || !image.save(output)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(source.filePath()),
                         qPrintable(reader.errorString()));
            ++failures;
        }
    }
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int first = 1;
    QString themeFolder;
    if (argc > 2 && QString(argv[1]) == "--hicolor") {
        themeFolder = QString::fromLocal8Bit(argv[2]);
        first = 3;
    }
    int failures = 0;
    for (int i = first; i < argc; ++i) {
        QFileInfo source(QString::fromLocal8Bit(argv[i]));
        failures += render(source, themeFolder.isEmpty() ? toolbarRenditions(source)
                                                         : themeRenditions(source, themeFolder));
    }
    return failures == 0 ? 0 : 1;
}
