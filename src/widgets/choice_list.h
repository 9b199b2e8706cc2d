#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;

namespace sorelka {

// The colours of a list: its items stand on white; the chosen item is filled
// yellow; the keyboard's highlight is an amber outline without a fill, which
// stands out against both (over 3 : 1).
inline const QColor kListBackground{0xFF, 0xFF, 0xFF};
inline const QColor kChosenItemColour{0xFF, 0xD3, 0x4D};
inline const QColor kKeyboardHighlightColour{0xB3, 0x5C, 0x00};

// The always-open list used for digits, actions, menus and time limits: a text
// line over a list whose items are always visible. The text line shows the
// heading ("一", " 処理", "　メニュー") while nothing is chosen and the chosen
// item's text afterwards.
//
// A click on an item reports its position through chosen(), also when it is the
// item chosen last time. Reset() clears the choice and restores the heading
// without reporting anything. Typed text never becomes a choice; Return or
// Space choose the highlighted item, and on digit lists a digit key chooses
// that digit. Item texts are never elided, however narrow the list.
//
// The keyboard's highlight is the view's current item, outlined while the
// list has the focus by the keyboard. When the focus arrives it stands on the
// chosen item, or on the first item when none is chosen; the arrow keys move
// it one item at a time, and only Return, Space or a digit choose.
class ChoiceList : public QWidget {
    Q_OBJECT
public:
    ChoiceList(const QString& name, const QString& heading, const QStringList& items,
               QWidget* parent);

    // The ten digit items "０" … "９" (the seven followed by an ideographic space).
    static QStringList DigitItems();

    void Reset();
    void SetItems(const QStringList& items);
    void SetHeading(const QString& heading);
    void SetDigitKeys(bool on) { digit_keys_ = on; }
    // The list's name for assistive technology ("一の位の数字", "処理",
    // "メニュー"). It defaults to the first heading: a place heading ("一",
    // "十", "百", "千") names that place's digits, any other names itself.
    void SetSpokenName(const QString& name);
    QString spoken_name() const;
    // Centres the items and the text line on their visible characters
    // (leading and trailing spaces, the ideographic one included, take no
    // room), without padding: a digit list one figure wide then shows "７　"
    // as a centred 7. The items keep their texts.
    void SetCentredItems(bool on);
    bool centred_items() const { return centred_; }
    // Whether the keyboard focus frame is drawn now.
    bool shows_focus_frame() const;
    // The item under the keyboard's highlight while the focus frame is
    // drawn; -1 otherwise.
    int highlighted_row() const;
    // Chooses an item from the program, reporting it like a click.
    void Choose(int index);
    // Shows `index` as the chosen item without reporting it (-1: none).
    void ShowChosen(int index);

    int current() const { return current_; }
    QString text() const;
    QString heading() const { return heading_; }
    int count() const;
    QListWidget* view() const { return view_; }
    // Where item `index` is drawn, in the coordinates of view()->viewport().
    QRect ItemRect(int index) const;
    // Places the list and sizes it so that every item is visible.
    void PlaceAt(int left, int top, int width);

signals:
    void chosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Report(int index);
    // Puts the keyboard's highlight on the chosen item, or the first.
    void HighlightWhereFocusArrives();
    // The text line: the heading, or the chosen item's text.
    void ShowLine();
    // The name a heading gives the list when nobody names it.
    static QString NameFromHeading(const QString& heading);

    QString heading_;
    QLabel* line_;
    QListWidget* view_;
    int current_ = -1;
    bool digit_keys_ = false;
    bool centred_ = false;
    bool keyboard_focus_ = false;  // the focus came by Tab or a key: show the frame
};

}  // namespace sorelka
