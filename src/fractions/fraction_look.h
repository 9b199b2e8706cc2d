#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <string>

class QLabel;
class QWidget;

// Widgets of the fraction worksheet, shared by the fraction screens.
namespace sorelka::fractions {

// A worksheet figure: navy, centred (numerators, denominators, "＝") or
// right-aligned (whole parts, which stand left of their bar).
QLabel* MakeFigure(const QString& name, Qt::Alignment align, QWidget* parent);
// A fraction bar: red with a navy outline.
QWidget* MakeBar(const QString& name, QWidget* parent);
// Where the frame of a mistake or a place to point at stands around the
// answer cell `name` on `screen`: the cell, drawn back from the answer's bar
// (Shape2) so that the frame, a few pixels outside it, never hides the bar.
QRect FramedCell(const QWidget* screen, const std::string& name);
// The 64 × 64 picture beside the prompt line: a round cake cut in quarters,
// three of them coloured.
QPixmap CakePicture();

}  // namespace sorelka::fractions
