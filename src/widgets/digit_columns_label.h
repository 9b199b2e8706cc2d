#pragma once

#include <QLabel>

namespace sorelka {

// A worksheet number: every character is drawn centred in its own digit
// column of `column_width` pixels, so the digits of different rows stand
// exactly under each other whatever the font. Right-aligned numbers end at the
// label's right edge, left-aligned ones (a quotient) start at its left edge.
class DigitColumnsLabel : public QLabel {
    Q_OBJECT
public:
    DigitColumnsLabel(const QString& name, Qt::Alignment alignment, int column_width,
                      QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int column_width_;
};

}  // namespace sorelka
