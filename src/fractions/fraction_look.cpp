#include "fractions/fraction_look.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "widgets/accessibility.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::fractions {

namespace {
constexpr int kFigurePixels = 36;
constexpr int kFigureHeight = 42;
// How far a frame reaches outside its cell, and a pixel of air before the bar.
constexpr int kFrameReach = 5;
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
    // The figures by their role: the given number left of "＝", the answer right of it.
    static const char* const kRoles[][2] = {
        {"Label4", "もんだい 整数"}, {"Label6", "もんだい 分子"}, {"Label5", "もんだい 分母"},
        {"Label10", "記号"},         {"Label7", "答え 整数"},     {"Label9", "答え 分子"},
        {"Label8", "答え 分母"}};
    for (const auto& [cell, role] : kRoles)
        if (name == QLatin1String(cell)) SetSpokenRole(label, QString::fromUtf8(role));
    return label;
}

QWidget* MakeBar(const QString& name, QWidget* parent) {
    auto* bar = new ShapeWidget(name, ShapeWidget::Kind::Bar, parent);
    bar->SetColours(kNavyColour, QColor(0xFF, 0x00, 0x00));
    return bar;
}

QRect FramedCell(const QWidget* screen, const std::string& name) {
    QRect cell = MarkedCells(screen, name);
    const auto* bar = screen->findChild<QWidget*>(QStringLiteral("Shape2"), Qt::FindDirectChildrenOnly);
    if (cell.isEmpty() || !bar) return cell;
    const QRect line = bar->geometry();
    if (cell.right() < line.left())  // the whole part, left of the bar
        cell.setRight(std::min(cell.right(), line.left() - kFrameReach));
    else if (cell.center().y() < line.top())  // the numerator, over it
        cell.setBottom(std::min(cell.bottom(), line.top() - kFrameReach));
    else  // the denominator, under it
        cell.setTop(std::max(cell.top(), line.bottom() + kFrameReach));
    return cell;
}

QPixmap CakePicture() {
    return DrawnPicture(64, 64, [](QPainter& p) {
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
    });
}

}  // namespace sorelka::fractions
