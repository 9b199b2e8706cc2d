#include "widgets/diagnosis_panel.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QFrame>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/digit_columns_label.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka {

namespace {
constexpr int kMarkerPad = 3;  // the frame stands this far outside the cell
constexpr int kMargin = 6;     // between the panel's rim and its text
const QColor kMarkerColour{0xFF, 0x8C, 0x00};
const QColor kPanelColour{0xFF, 0xF6, 0xE0};

constexpr QChar kSentenceSpace(0x3000);  // the ideographic space between two sentences
constexpr QChar kComma(0x3001);          // "、": a phrase ends after it, even without a space
bool IsSpace(QChar c) { return c == QLatin1Char(' ') || c == kSentenceSpace; }
// Cells this far apart in one row belong to one number (a decimal point
// stands between two of its digits).
constexpr int kJoinGap = 12;

// A frame round a cell: an orange rim that lets clicks through.
QFrame* NewMarker(QWidget* screen, const QString& name) {
    auto* marker = new QFrame(screen);
    marker->setObjectName(name);
    marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker->setAccessibleName(QStringLiteral("まちがえた ところ"));
    SetStyleSheetWhenShown(marker, QStringLiteral("QFrame { border: 3px solid %1; border-radius: 4px;"
                                         " background: transparent; }")
                              .arg(kMarkerColour.name()));
    marker->hide();
    return marker;
}

// `cells` with the cells side by side in one row joined, in reading order.
std::vector<QRect> JoinedCells(std::vector<QRect> cells) {
    std::erase_if(cells, [](const QRect& cell) { return cell.isEmpty(); });
    std::sort(cells.begin(), cells.end(), [](const QRect& a, const QRect& b) {
        return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
    });
    std::vector<QRect> joined;
    for (const QRect& cell : cells) {
        if (!joined.empty()) {
            QRect& last = joined.back();
            const bool one_row = std::abs(last.top() - cell.top()) <= 2 && std::abs(last.bottom() - cell.bottom()) <= 2;
            if (one_row && cell.left() - last.right() <= kJoinGap) {
                last = last.united(cell);
                continue;
            }
        }
        joined.push_back(cell);
    }
    return joined;
}
}  // namespace

DiagnosisPanel::DiagnosisPanel(QWidget* screen, std::vector<QRect> rooms, const QLabel* prompt)
    : QLabel(screen), rooms_(std::move(rooms)) {
    setObjectName(QStringLiteral("DiagnosisPanel"));
    setTextFormat(Qt::PlainText);
    setFont(SchoolFont(prompt->font().pixelSize(), true));
    setWordWrap(false);  // the panel breaks its lines itself
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(kMargin);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    palette.setColor(QPalette::WindowText, kNavyColour);
    setPalette(palette);
    setFrameShape(QFrame::Box);
    setGeometry(rooms_.front());
    hide();

    markers_.push_back(NewMarker(screen, QStringLiteral("DiagnosisMarker")));
}

QStringList DiagnosisPanel::BreakAtSpaces(const QString& text, const QFontMetrics& metrics,
                                          int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        int start = 0;
        // Phrase by phrase: a phrase runs up to the next space, which the
        // line keeps unless the line breaks there, or up to a "、".
        while (start < paragraph.size()) {
            int end = start;
            while (end < paragraph.size() && !IsSpace(paragraph[end]) && paragraph[end] != kComma) ++end;
            if (end < paragraph.size()) ++end;  // the space or the comma goes with the phrase
            const QString phrase = paragraph.mid(start, end - start);
            if (!line.isEmpty() && metrics.horizontalAdvance((line + phrase).trimmed()) > width) {
                lines << line.trimmed();
                line.clear();
            }
            line += phrase;
            start = end;
            // Each sentence starts a line of its own.
            if (phrase.endsWith(kSentenceSpace) && start < paragraph.size()) {
                lines << line.trimmed();
                line.clear();
            }
        }
        lines << line.trimmed();
    }
    return lines;
}

void DiagnosisPanel::Show(const std::optional<DiagnosisNote>& note, const std::vector<QRect>& cells) {
    if (!note) {
        Hide();
        return;
    }
    const QString text = QString::fromStdString(note->Text());
    const int rim = 2 * (kMargin + frameWidth());
    // The panel keeps clear of the frames too: a frame stands a little
    // outside its cell.
    const std::vector<QRect> frames = Frames(cells);
    // The first clear room where the text fits whole; else the first clear
    // one; else the first.
    std::optional<std::pair<QRect, QStringList>> chosen, clear;
    for (const QRect& room : rooms_) {
        const QStringList lines = BreakAtSpaces(text, fontMetrics(), room.width() - rim);
        const QRect need = fontMetrics().boundingRect(QRect(0, 0, 100000, 100000), int(alignment()),
                                                      lines.join(QLatin1Char('\n')));
        const QRect place(room.topLeft(), QSize(room.width(), std::min(room.height(), need.height() + rim)));
        if (!IsClear(place) ||
            std::any_of(frames.begin(), frames.end(), [&](const QRect& frame) { return frame.intersects(place); }))
            continue;
        if (!clear) clear.emplace(place, lines);
        if (need.width() + rim <= room.width() && need.height() + rim <= room.height()) {
            chosen.emplace(place, lines);
            break;
        }
    }
    if (!chosen) chosen = clear;
    if (!chosen) {
        const QRect room = rooms_.front();
        chosen.emplace(room, BreakAtSpaces(text, fontMetrics(), room.width() - rim));
    }
    // Heard at once by a screen reader, without the focus moving; the breaks
    // are heard as the spaces they were.
    Announce(this, chosen->second.join(QLatin1Char('\n')));
    setGeometry(chosen->first);
    show();
    raise();
    ShowMarkers(frames);
}

void DiagnosisPanel::Show(const std::optional<DiagnosisNote>& note, const QRect& cell) {
    Show(note, std::vector<QRect>{cell});
}

std::vector<QRect> DiagnosisPanel::Frames(const std::vector<QRect>& cells) const {
    std::vector<QRect> frames;
    for (const QRect& cell : JoinedCells(cells)) {
        const QRect frame = MarkerRect(cell);
        if (frame.width() > 2 * kMarkerPad && frame.height() > 2 * kMarkerPad) frames.push_back(frame);
    }
    return frames;
}

void DiagnosisPanel::ShowMarkers(const std::vector<QRect>& frames) {
    while (markers_.size() < frames.size())
        markers_.push_back(
            NewMarker(parentWidget(), QStringLiteral("DiagnosisMarker%1").arg(markers_.size() + 1)));
    for (std::size_t i = 0; i < markers_.size(); ++i) {
        if (i >= frames.size()) {
            markers_[i]->hide();
            continue;
        }
        markers_[i]->setGeometry(frames[i]);
        markers_[i]->show();
        markers_[i]->raise();
    }
}

bool DiagnosisPanel::IsMarker(const QWidget* w) const {
    return std::find(markers_.begin(), markers_.end(), w) != markers_.end();
}

bool DiagnosisPanel::IsClear(const QRect& place) const {
    for (const QWidget* w : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w == this || IsMarker(w) || w->isHidden() || !w->geometry().intersects(place)) continue;
        // Blank paper, and a cell with nothing written in it, show nothing.
        if (qobject_cast<const SquaredPaper*>(w)) continue;
        if (const auto* label = qobject_cast<const QLabel*>(w);
            label && label->text().trimmed().isEmpty() && label->pixmap().isNull())
            continue;
        return false;
    }
    return true;
}

QRect DiagnosisPanel::MarkerRect(const QRect& cell) const {
    QRect frame = cell.adjusted(-kMarkerPad, -kMarkerPad, kMarkerPad, kMarkerPad);
    const QPoint centre = cell.center();
    // Never over the screen's rim, nor past the paper the cell is written on.
    frame &= parentWidget()->rect();
    for (const QWidget* paper : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (IsPaper(paper) && !paper->isHidden() && paper->geometry().contains(centre)) frame &= paper->geometry();
    for (const QWidget* w : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isHidden() || !(qobject_cast<const ChoiceList*>(w) || qobject_cast<const QAbstractButton*>(w)))
            continue;
        const QRect used = w->geometry();
        if (!frame.intersects(used)) continue;
        // Cut the side that reaches over the list or button.
        if (used.left() > centre.x()) frame.setRight(used.left() - 1);
        else if (used.right() < centre.x()) frame.setLeft(used.right() + 1);
        else if (used.top() > centre.y()) frame.setBottom(used.top() - 1);
        else if (used.bottom() < centre.y()) frame.setTop(used.bottom() + 1);
        else return {};  // the cell itself lies under it
    }
    return frame;
}

void DiagnosisPanel::Hide() {
    hide();
    Announce(this, QString());
    for (QFrame* marker : markers_) marker->hide();
}

QRect MarkedCells(const QWidget* screen, const std::string& name, int column) {
    if (name.empty()) return {};
    const auto* child = screen->findChild<QWidget*>(QString::fromStdString(name),
                                                    Qt::FindDirectChildrenOnly);
    if (!child || child->isHidden()) return {};
    if (const auto* number = qobject_cast<const DigitColumnsLabel*>(child))
        return (column >= 0 ? number->ColumnsRect(column, 1) : number->WrittenRect())
            .translated(number->pos());
    return child->geometry();
}

}  // namespace sorelka
