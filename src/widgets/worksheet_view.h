#pragma once

#include <QColor>
#include <QWidget>

#include "core/worksheet.h"

namespace sorelka {

// A painted worksheet line or frame (the line under a product, the fraction bar).
class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Line, Frame, Bar };
    ShapeWidget(const QString& name, Kind kind, QWidget* parent);
    Kind kind() const { return kind_; }
    void SetColours(const QColor& pen, const QColor& fill);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Kind kind_;
    QColor pen_{0x00, 0x00, 0x80};
    QColor fill_{Qt::transparent};
};

// The paper behind a written calculation: white, with faint lines between the
// digit columns like a squared exercise book. The lines fall every
// `column_width` pixels, on the column edge at x = `column_edge` of the parent.
class SquaredPaper : public QWidget {
    Q_OBJECT
public:
    SquaredPaper(QWidget* parent, int column_edge, int column_width);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int column_edge_;
    int column_width_;
};

// Small drawn pictures of the worksheet: the division bracket and the arrow
// that marks the row to write next.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Bracket, Marker };
    PictureWidget(const QString& name, Kind kind, QWidget* parent);
    Kind kind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Kind kind_;
};

// Whether `w` is the paper a calculation is written on: squared paper, or
// a worksheet's framed sheet.
bool IsPaper(const QWidget* w);

// Copies every cell of the worksheet onto the child widget of the same object
// name: text and colour for labels, position and visibility for all. A cell
// without a widget is skipped.
void ApplyWorksheet(QWidget* root, const Worksheet& sheet);

}  // namespace sorelka
