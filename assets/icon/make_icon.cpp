// Draws the program's icon as PNG files in the sizes of the hicolor icon theme:
//   make_icon <folder>  ->  <folder>/<n>x<n>/apps/sorelka.png
// The design lives on a 256-unit square and is drawn afresh at every size, so
// the small sizes stay sharp; below 48 px the fine details are left out.
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

void RoundedRect(QPainter& p, QRectF r, qreal radius, const QBrush& fill) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    p.fillPath(path, fill);
}

// A short yellow pencil lying across the lower right corner of the sheet.
void DrawPencil(QPainter& p) {
    p.save();
    p.translate(196, 196);
    p.rotate(-45);
    // Body from the eraser (left) to the sharpened tip (right), 24 units thick.
    RoundedRect(p, QRectF(-58, -12, 22, 24), 6, QColor(0xFF, 0x8F, 0xA8));  // eraser
    p.fillRect(QRectF(-40, -12, 8, 24), QColor(0xB8, 0xC2, 0xD0));          // ferrule
    p.fillRect(QRectF(-32, -12, 52, 24), QColor(0xFF, 0xC8, 0x3D));         // body
    p.fillRect(QRectF(-32, -4, 52, 8), QColor(0xFF, 0xB0, 0x20));           // facet
    QPainterPath wood;
    wood.moveTo(20, -12);
    wood.lineTo(44, 0);
    wood.lineTo(20, 12);
    wood.closeSubpath();
    p.fillPath(wood, QColor(0xF6, 0xD9, 0xA8));
    QPainterPath lead;
    lead.moveTo(36, -4);
    lead.lineTo(44, 0);
    lead.lineTo(36, 4);
    lead.closeSubpath();
    p.fillPath(lead, QColor(0x3A, 0x3F, 0x58));
    p.restore();
}

void DrawIcon(QPainter& p, int pixels) {
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels / 256.0, pixels / 256.0);
    const bool detailed = pixels >= 48;

    // A soft sky-blue tile with generously rounded corners.
    QLinearGradient sky(0, 8, 0, 248);
    sky.setColorAt(0, QColor(0x8F, 0xCF, 0xFF));
    sky.setColorAt(1, QColor(0x4C, 0x9A, 0xF0));
    RoundedRect(p, QRectF(8, 8, 240, 240), 60, sky);

    // A sheet of squared school paper with a soft shadow.
    if (detailed) RoundedRect(p, QRectF(36, 42, 184, 184), 30, QColor(0x1E, 0x4E, 0x9A, 70));
    const QRectF sheet(36, 34, 184, 184);
    RoundedRect(p, sheet, 30, QColor(0xFF, 0xFD, 0xF6));
    if (detailed) {
        p.save();
        QPainterPath clip;
        clip.addRoundedRect(sheet.adjusted(6, 6, -6, -6), 24, 24);
        p.setClipPath(clip);
        p.setPen(QPen(QColor(0xC9, 0xE2, 0xFA), 2.5));
        for (int x = 56; x < 220; x += 23) p.drawLine(QPointF(x, 34), QPointF(x, 218));
        for (int y = 54; y < 218; y += 23) p.drawLine(QPointF(36, y), QPointF(220, y));
        p.restore();
    }

    // A big, round division sign in warm coral.
    const QColor coral(0xFF, 0x6B, 0x4A);
    const qreal bar = detailed ? 26 : 34;
    p.setPen(QPen(coral, bar, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(76, 126), QPointF(180, 126));
    p.setPen(Qt::NoPen);
    p.setBrush(coral);
    const qreal dot = detailed ? 19 : 23;
    p.drawEllipse(QPointF(128, 126 - 48), dot, dot);
    p.drawEllipse(QPointF(128, 126 + 48), dot, dot);

    if (detailed) DrawPencil(p);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon <output folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (const int size : kSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "make_icon: cannot create %s\n", qPrintable(folder));
            return 1;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            DrawIcon(painter, size);
        }
        const QString file = folder + QStringLiteral("/sorelka.png");
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
