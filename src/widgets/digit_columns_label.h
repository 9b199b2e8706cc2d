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

    // Where `count` digit columns stand from the number's column `first`
    // (0 = its first character), in the label's coordinates; a column past
    // the text is where the next character would go.
    QRect ColumnsRect(int first, int count) const;
    // The columns of the written characters (padding spaces left out); with
    // nothing written, the one column a first character would take.
    QRect WrittenRect() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int column_width_;
};

}  // namespace sorelka
