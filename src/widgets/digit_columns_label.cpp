#include "widgets/digit_columns_label.h"

#include <QPainter>

#include "widgets/look.h"

namespace sorelka {

DigitColumnsLabel::DigitColumnsLabel(const QString& name, Qt::Alignment alignment,
                                     int column_width, QWidget* parent)
    : QLabel(parent), column_width_(column_width) {
    setObjectName(name);
    setAlignment(alignment | Qt::AlignVCenter);
    setFont(SchoolFont(40));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QRect DigitColumnsLabel::ColumnsRect(int first, int count) const {
    const int columns = static_cast<int>(text().size());
    const int start = (alignment() & Qt::AlignRight) ? width() - columns * column_width_ : 0;
    return QRect(start + first * column_width_, 0, count * column_width_, height());
}

QRect DigitColumnsLabel::WrittenRect() const {
    // Padding spaces take a column each but write nothing.
    const QString t = text();
    int first = 0;
    int last = static_cast<int>(t.size()) - 1;
    while (first <= last && t[first].isSpace()) ++first;
    while (last >= first && t[last].isSpace()) --last;
    if (first <= last) return ColumnsRect(first, last - first + 1);
    return (alignment() & Qt::AlignRight) ? ColumnsRect(static_cast<int>(t.size()) - 1, 1)
                                          : ColumnsRect(0, 1);
}

void DigitColumnsLabel::paintEvent(QPaintEvent*) {
    const QString t = text();
    if (t.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    // Digits are centred on the row: the baseline sits half a digit height
    // below the middle.
    const int digit_height = metrics.tightBoundingRect(QStringLiteral("0")).height();
    const int baseline = (height() + digit_height) / 2;
    const int columns = static_cast<int>(t.size());
    const int first = (alignment() & Qt::AlignRight) ? width() - columns * column_width_ : 0;
    for (int i = 0; i < columns; ++i) {
        const QString ch = t.mid(i, 1);
        const int advance = metrics.horizontalAdvance(ch);
        p.drawText(first + i * column_width_ + (column_width_ - advance) / 2, baseline, ch);
    }
}

}  // namespace sorelka
