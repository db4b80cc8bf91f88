// Draws the application icon: the window's "R7260S" picture (app/FrmMainUi.cpp,
// pictureOfTheDevice()) made square, a rounded tile in RGB(0x30,0x50,0x80) with the white bold text
// "R7260S" centred. Writes packaging/icons/<size>.png for each icon size the package installs.
//
// Not part of the build: the PNGs are committed. Run it again when the picture changes:
//
//   g++ -std=c++20 -fPIC packaging/make-icons.cpp $(pkg-config --cflags --libs Qt6Gui) \
//       -o /tmp/make-icons
//   QT_QPA_PLATFORM=offscreen /tmp/make-icons packaging/icons
//
// The text is set in DejaVu Sans Bold (Debian's default sans-serif), sized to fill four fifths of
// the tile's width and centred on the glyphs' own outline, so it sits in the middle at every size.

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const int kSizes[] = {32, 48, 64, 128, 256};

QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The window's picture: a 2 px margin and a 6 px corner radius on a 60 px high tile.
    const qreal margin = size / 30.0;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    p.setBrush(QColor(0x30, 0x50, 0x80));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(tile, size / 10.0, size / 10.0);

    const QString text = QStringLiteral("R7260S");
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(100);
    const qreal width = QFontMetricsF(font).tightBoundingRect(text).width();
    font.setPixelSize(qMax(1, qRound(100 * tile.width() * 0.8 / width)));

    // Drawn as a path so the outline measured is exactly the outline filled.
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    path.translate(tile.center() - bounds.center());
    p.fillPath(path, Qt::white);
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make-icons OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make-icons: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const int size : kSizes) {
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(size));
        if (!icon(size).save(path, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
