#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace sorelka {

// What a screen reader hears for a label that has a role: the role alone
// while the label is empty, otherwise the role and the text with its padding
// spaces dropped ("商" and "　２４" → "商　２４").
QString SpokenName(const QString& role, const QString& text);
// The verdict as heard: "○" → "せいかい", "×" → "まちがい", nothing otherwise.
QString SpokenVerdict(const QString& mark);

// Gives a label its role for assistive technology ("わられる数", "商",
// "さいしょの かけ算"). From then on its accessible name is SpokenName(role,
// text), kept up to date by RefreshSpokenName.
void SetSpokenRole(QLabel* label, const QString& role);
// The role SetSpokenRole gave `label`; empty for none.
QString SpokenRole(const QLabel* label);
// Marks the label showing "○" or "×": it is heard as "せいかい" or "まちがい".
void SetVerdictCell(QLabel* label);
// Whether SetVerdictCell marked `label`.
bool IsVerdictCell(const QLabel* label);

// A screen's problem line at `place`: navy, bold, `pixels` high, heard as
// "もんだい" and what it shows.
QLabel* MakeProblemLine(QWidget* screen, const QString& name, int pixels, Qt::Alignment align, const QRect& place);
// A screen's mark of a judged answer at `place`: red, bold, `pixels` high,
// centred, the verdict cell.
QLabel* MakeVerdictMark(QWidget* screen, const QString& name, int pixels, const QRect& place);
// Recomputes the accessible name of a label with a role after its text
// changed; a new name raises QAccessible::NameChanged, so a screen reader
// hears it without the focus moving. Labels without a role are left to Qt.
void RefreshSpokenName(QLabel* label);

// Writes `text` into `label` and announces it: the accessible name follows
// the text (through the label's role if it has one) and a NameChanged event
// is raised even when the text is the same as before. For lines a pupil must
// hear at once: the prompt, the verdict, the diagnosis.
void Announce(QLabel* label, const QString& text);

// Whether the pupil's last press was a key (not a mouse button or a touch):
// focus frames are drawn for keyboard users only. The first call starts
// watching the application's input.
bool LastInputWasKeyboard();
// Starts watching the application's input, if nothing did yet: from then on
// Return and the keypad's Enter press the push or tool button that has the
// focus, in every window and dialog (one press per key press, auto-repeat
// ignored); Enter anywhere else (a list, a line edit) does what it did.
// Every button and list of the program calls it as it is made.
void WatchKeyboard();

// Orders Tab and Shift+Tab through the focusable widgets under `root` in
// reading order: rows from the top, left to right inside a row. Widgets whose
// tops lie within `row_band` pixels of a row's first widget share that row.
// Returns the first of them (null when there is none).
QWidget* SetReadingTabOrder(QWidget* root, int row_band = 24);

}  // namespace sorelka
