#pragma once

#include <QRect>
#include <optional>

#include "core/diagnosis_note.h"

class QFrame;
class QLabel;
class QWidget;

namespace sorelka {

// The explanation of a wrong answer beside a practice worksheet (a label
// named DiagnosisPanel) and the frame around the first wrong cell (named
// DiagnosisMarker). Both stay hidden until Show() is given a note.
class DiagnosisPanel {
public:
    // `place`: the room the panel may take on `screen`, clear of every
    // widget a pupil uses; the panel is as tall as its text needs.
    DiagnosisPanel(QWidget* screen, const QRect& place);

    // Shows `note`'s text and frames `cell` (screen coordinates; an empty
    // rectangle frames nothing). No note: both hide.
    void Show(const std::optional<DiagnosisNote>& note, const QRect& cell);
    void Hide();

    QLabel* label() const { return label_; }
    QFrame* marker() const { return marker_; }

private:
    QRect place_;
    QLabel* label_;
    QFrame* marker_;
};

// The rectangle of the direct child of `screen` named `name` when it is
// shown; empty otherwise.
QRect ChildRect(const QWidget* screen, const std::string& name);

}  // namespace sorelka
