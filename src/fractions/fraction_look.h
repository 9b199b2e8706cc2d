#pragma once

#include <QPixmap>
#include <QString>

class QLabel;
class QWidget;

// Widgets of the fraction worksheet, shared by the fraction screens.
namespace sorelka::fractions {

// A worksheet figure: navy, centred (numerators, denominators, "＝") or
// right-aligned (whole parts, which stand left of their bar).
QLabel* MakeFigure(const QString& name, Qt::Alignment align, QWidget* parent);
// A fraction bar: red with a navy outline.
QWidget* MakeBar(const QString& name, QWidget* parent);
// The 64 × 64 picture beside the prompt line: a round cake cut in quarters,
// three of them coloured.
QPixmap CakePicture();

}  // namespace sorelka::fractions
