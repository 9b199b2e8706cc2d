#include "decimals/figure_label.h"

#include <QPainter>
#include <QRegularExpression>

namespace sorelka::decimals {

FigureLabel::FigureLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

int FigureLabel::TextWidth() const {
    int width = 0;
    for (QChar c : text()) width += CellWidth(c);
    return width;
}

int FigureLabel::PointRight() const {
    const QString t = text();
    const int point = t.indexOf(QLatin1Char('.'));
    int x = width() - TextWidth();
    const int end = point < 0 ? t.size() : point + 1;
    for (int i = 0; i < end; ++i) x += CellWidth(t[i]);
    return point < 0 ? x + kPointWidth : x;
}

QRect FigureLabel::DigitRect(int from_point) const {
    const int point = PointRight();
    const int left = from_point < 0 ? point - kPointWidth + from_point * kDigitWidth
                                    : point + (from_point - 1) * kDigitWidth;
    return QRect(left, 0, kDigitWidth, height());
}

void FigureLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    int x = width() - TextWidth();
    for (QChar c : text()) {
        const int w = CellWidth(c);
        // The point sits on the baseline: draw it in a wider box so that its
        // glyph is not clipped, centred on its own narrow column.
        const QRect cell(x + w / 2 - kDigitWidth / 2, 0, kDigitWidth, height());
        p.drawText(cell, Qt::AlignCenter, QString(c));
        x += w;
    }
}

StrikeMark::StrikeMark(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StrikeMark::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x00, 0x00, 0xFF), 2.5, Qt::SolidLine, Qt::RoundCap));
    const QRectF r = QRectF(rect()).adjusted(4, 3, -4, -3);
    p.drawLine(r.bottomLeft(), r.topRight());
}

StackedLabel::StackedLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
}

void StackedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    static const QRegularExpression kBreaks(QStringLiteral("[\r\n]"));
    const QStringList lines = text().split(kBreaks);
    const int line_height = fontMetrics().height();
    int y = 0;
    for (const QString& line : lines) {
        if (line.isEmpty()) continue;
        p.drawText(QRect(0, y, width(), line_height), Qt::AlignHCenter | Qt::AlignVCenter, line);
        y += line_height;
    }
}

}  // namespace sorelka::decimals
