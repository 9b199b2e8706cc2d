#include "widgets/worksheet_view.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "widgets/accessibility.h"
#include "widgets/look.h"

namespace sorelka {

ShapeWidget::ShapeWidget(const QString& name, Kind kind, QWidget* parent)
    : QWidget(parent), kind_(kind) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::SetColours(const QColor& pen, const QColor& fill) {
    pen_ = pen;
    fill_ = fill;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind_) {
        case Kind::Line:
            p.fillRect(rect(), pen_);
            break;
        case Kind::Frame:
            p.setPen(QPen(pen_, 3));
            p.setBrush(fill_);
            p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 12, 12);
            break;
        case Kind::Bar:
            if (height() <= 2) {
                // A hairline bar (a fraction's): no room for a rim above and
                // below the fill, so the outline closes its two ends.
                p.fillRect(rect(), fill_);
                p.fillRect(QRect(0, 0, 1, height()), pen_);
                p.fillRect(QRect(width() - 1, 0, 1, height()), pen_);
                break;
            }
            p.setPen(QPen(pen_, 1));
            p.setBrush(fill_);
            p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
            break;
    }
}

SquaredPaper::SquaredPaper(QWidget* parent, int column_edge, int column_width)
    : QWidget(parent), column_edge_(column_edge), column_width_(column_width) {
    setObjectName(QStringLiteral("WorksheetPaper"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SquaredPaper::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xB8, 0xC0, 0xE8), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 14, 14);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0xDD, 0xE6, 0xF6), 1));
    // The first column edge inside the paper, then every column to its right.
    int edge = (column_edge_ - x()) % column_width_;
    if (edge < 0) edge += column_width_;
    for (; edge < width() - 8; edge += column_width_) {
        if (edge > 8) p.drawLine(edge, 10, edge, height() - 10);
    }
}

PictureWidget::PictureWidget(const QString& name, Kind kind, QWidget* parent)
    : QWidget(parent), kind_(kind) {
    setObjectName(name);
    setAccessibleName(kind == Kind::Bracket ? QStringLiteral("わり算の かっこ")
                                            : QStringLiteral("つぎに 書く だんの しるし"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    if (kind_ == Kind::Bracket) {
        // The long-division bracket: a curve down the left of the dividend.
        QPainterPath path;
        path.moveTo(r.left() + r.width() * 0.3, r.top());
        path.cubicTo(r.right(), r.top() + r.height() * 0.3, r.right(),
                     r.top() + r.height() * 0.7, r.left(), r.bottom());
        p.setPen(QPen(kNavyColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
    } else {
        // The row marker: a red arrow pointing right.
        QPainterPath arrow;
        const qreal mid = r.center().y();
        arrow.moveTo(r.left(), mid - r.height() * 0.15);
        arrow.lineTo(r.left() + r.width() * 0.55, mid - r.height() * 0.15);
        arrow.lineTo(r.left() + r.width() * 0.55, r.top());
        arrow.lineTo(r.right(), mid);
        arrow.lineTo(r.left() + r.width() * 0.55, r.bottom());
        arrow.lineTo(r.left() + r.width() * 0.55, mid + r.height() * 0.15);
        arrow.lineTo(r.left(), mid + r.height() * 0.15);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(0xB0, 0x10, 0x10), 1.5));
        p.setBrush(QColor(0xF0, 0x40, 0x40));
        p.drawPath(arrow);
    }
}

bool IsPaper(const QWidget* w) {
    if (qobject_cast<const SquaredPaper*>(w)) return true;
    const auto* shape = qobject_cast<const ShapeWidget*>(w);
    return shape && shape->kind() == ShapeWidget::Kind::Frame;
}

namespace {

void ShowCell(QWidget* root, const Cell& cell, const CellView& view) {
    auto* widget = root->findChild<QWidget*>(QString::fromStdString(view.object_name));
    if (!widget) return;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(QString::fromStdString(cell.text));
        RefreshSpokenName(label);
        SetTextColour(label, ToQColor(cell.colour));
    }
    QRect g = widget->geometry();
    if (view.left >= 0) g.moveLeft(view.left);
    if (view.top >= 0) g.moveTop(view.top);
    if (view.width >= 0) g.setWidth(view.width);
    if (view.height >= 0) g.setHeight(view.height);
    if (g != widget->geometry()) widget->setGeometry(g);
    widget->setVisible(cell.visible);
}

}  // namespace

void ApplyWorksheet(QWidget* root, const Worksheet& sheet) {
    for (const auto& [name, cell] : sheet)
        ShowCell(root, cell, {name, cell.left, cell.top, cell.width, cell.height});
}

Worksheet ShownSheet(const Worksheet& sheet, const SheetLayout& layout) {
    Worksheet shown;
    for (const auto& [role, cell] : sheet) {
        const CellView view = layout(role, cell, sheet);
        if (view.object_name.empty()) continue;
        Cell& c = shown[view.object_name];
        c = cell;
        c.left = view.left;
        c.top = view.top;
        c.width = view.width;
        c.height = view.height;
    }
    return shown;
}

void ApplyWorksheet(QWidget* root, const Worksheet& sheet, const SheetLayout& layout) {
    for (const auto& [role, cell] : sheet) {
        const CellView view = layout(role, cell, sheet);
        if (!view.object_name.empty()) ShowCell(root, cell, view);
    }
}

}  // namespace sorelka
