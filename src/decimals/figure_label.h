#pragma once

#include <QLabel>

namespace sorelka::decimals {

// A right-aligned number of the written calculation. Every digit takes a
// 30-pixel column and the decimal point an 8-pixel one, so numbers whose
// labels are moved by whole columns keep their digits (and points) one under
// the other, whatever the font's own widths are.
class FigureLabel : public QLabel {
    Q_OBJECT
public:
    static constexpr int kDigitWidth = 30;
    static constexpr int kPointWidth = 8;

    FigureLabel(const QString& name, QWidget* parent);

    // Where the decimal point of the text stands, as the x (in label
    // coordinates) of the right edge of its column; for a text without a
    // point, where the point would follow its last digit.
    int PointRight() const;
    // The cell of the digit `from_point` columns from the decimal point, in
    // label coordinates: -1 the ones, -2 the tens, 1 the tenths, 2 the
    // hundredths, 3 the thousandths.
    QRect DigitRect(int from_point) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    static int CellWidth(QChar c) { return c == QLatin1Char('.') ? kPointWidth : kDigitWidth; }
    int TextWidth() const;
};

// The stroke through a lending digit of a subtraction: a slanting line
// across the cell, from its lower left to its upper right.
class StrikeMark : public QWidget {
    Q_OBJECT
public:
    StrikeMark(const QString& name, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};

// A label whose text is written one character (or one "\r"-separated line)
// under the other, centred: the decimal point column "小\r数\r点".
class StackedLabel : public QLabel {
    Q_OBJECT
public:
    StackedLabel(const QString& name, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace sorelka::decimals
