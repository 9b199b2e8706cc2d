#pragma once

#include <QLabel>
#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "core/diagnosis_note.h"

class QFrame;
class QFontMetrics;

namespace sorelka {

// The explanation of a wrong answer beside a practice worksheet (this label,
// named DiagnosisPanel) and the frame around the first wrong cell (named
// DiagnosisMarker). Both stay hidden until Show() is given a note.
//
// The text is laid out by the panel itself: Qt would break Japanese between
// any two characters, inside a word or an expression ("７＋ / ７＋１＝１５"),
// so lines break only between phrases (where the explanation has a space, or
// after a "、"), and an expression such as "７＋７＋１＝１５" always stays on
// one line. Each sentence (after an ideographic space) starts a new line.
class DiagnosisPanel : public QLabel {
    Q_OBJECT
public:
    // `rooms`: where the panel may stand on `screen`, the free space around
    // the worksheet, in order of preference. A room may lie on blank paper
    // that a calculation only sometimes writes on: the panel takes the first
    // room where nothing shows now (no text, list, button, line or picture)
    // and its text fits whole, with the room's whole width and as much of
    // its height as the text needs. Its type is as large as `prompt`'s (the
    // screen's prompt line), in bold.
    DiagnosisPanel(QWidget* screen, std::vector<QRect> rooms, const QLabel* prompt);

    // Shows `note`'s text and frames `cell` (screen coordinates; an empty
    // rectangle frames nothing). The frame stands a little outside the cell,
    // on the screen and on the paper the cell is written on, and is cut back
    // where it would reach a list or a button; the panel keeps clear of it.
    // No note: both hide.
    void Show(const std::optional<DiagnosisNote>& note, const QRect& cell);
    // The same with a frame round each of `cells`; cells side by side in one
    // row (the digits of one number) share a frame.
    void Show(const std::optional<DiagnosisNote>& note, const std::vector<QRect>& cells);
    void Hide();

    // The first frame (DiagnosisMarker); the others are DiagnosisMarker2, 3, ….
    QFrame* marker() const { return markers_.front(); }
    const std::vector<QFrame*>& markers() const { return markers_; }
    const std::vector<QRect>& rooms() const { return rooms_; }

    // The lines `text` shows in `width` pixels: its own lines ("\n"), each
    // broken at every ideographic space (between sentences), and else only
    // at its spaces (which the break takes) and after a "、", with as many
    // phrases on a line as fit. A phrase wider than a line stands alone.
    static QStringList BreakAtSpaces(const QString& text, const QFontMetrics& metrics, int width);

private:
    // Whether `place` is clear of everything the screen shows now.
    bool IsClear(const QRect& place) const;
    // The frame around `cell`, kept on the screen and on the cell's paper,
    // cut back clear of the screen's lists and buttons.
    QRect MarkerRect(const QRect& cell) const;
    // The frames round `cells`: one per run of cells side by side.
    std::vector<QRect> Frames(const std::vector<QRect>& cells) const;
    // Shows a marker on each of `frames`; the markers not needed hide.
    void ShowMarkers(const std::vector<QRect>& frames);
    bool IsMarker(const QWidget* w) const;

    std::vector<QRect> rooms_;
    std::vector<QFrame*> markers_;
};

// What a step of a diagnosis marks on `screen`: the direct child named
// `name`, when shown. For a worksheet number (DigitColumnsLabel) only its
// written digits, or only digit column `column` (0-based from the number's
// first digit) when `column` is not negative; any other widget whole. Empty
// when there is no such child or it is hidden.
QRect MarkedCells(const QWidget* screen, const std::string& name, int column = -1);

}  // namespace sorelka
