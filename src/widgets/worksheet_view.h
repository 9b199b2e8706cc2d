#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <string>

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

// Where one role of a worksheet is shown: the object name of its widget and
// its place in pixels (-1: as the screen laid it out).
struct CellView {
    std::string object_name;  // empty: no widget shows the role
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
};

// A topic's layout table: the widget and place of a role, given its cell and
// the whole sheet (a row's place may follow from the number above it).
using SheetLayout = std::function<CellView(const std::string& role, const Cell& cell, const Worksheet& sheet)>;

// The sheet keyed by object name, each cell at the layout's place: for the
// example players, which copy sheets by object name.
Worksheet ShownSheet(const Worksheet& sheet, const SheetLayout& layout);

// Copies every cell onto the widget the layout gives for its role: text and
// colour for labels, the layout's place and the cell's visibility for all. A
// role without a widget is skipped.
void ApplyWorksheet(QWidget* root, const Worksheet& sheet, const SheetLayout& layout);

}  // namespace sorelka
