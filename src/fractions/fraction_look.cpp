#include "fractions/fraction_look.h"

#include <QLabel>
#include <QPainter>

#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::fractions {

namespace {
constexpr int kFigurePixels = 36;
constexpr int kFigureHeight = 42;
}  // namespace

QLabel* MakeFigure(const QString& name, Qt::Alignment align, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SchoolFont(kFigurePixels, true));
    label->setAlignment(align | Qt::AlignVCenter);
    label->resize(54, kFigureHeight);
    if (align & Qt::AlignRight) label->setIndent(3);
    SetTextColour(label, kNavyColour);
    return label;
}

QWidget* MakeBar(const QString& name, QWidget* parent) {
    auto* bar = new ShapeWidget(name, ShapeWidget::Kind::Bar, parent);
    bar->SetColours(kNavyColour, QColor(0xFF, 0x00, 0x00));
    return bar;
}

QPixmap CakePicture() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF cake(6, 6, 52, 52);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xF4, 0xD6));
    p.drawEllipse(cake);
    // Three quarters of strawberry pink, one left plain.
    p.setBrush(QColor(0xFF, 0x8C, 0xA8));
    p.drawPie(cake, 90 * 16, 270 * 16);
    p.setPen(QPen(kNavyColour, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(cake);
    p.drawLine(QPointF(32, 6), QPointF(32, 58));
    p.drawLine(QPointF(6, 32), QPointF(58, 32));
    return pixmap;
}

}  // namespace sorelka::fractions
