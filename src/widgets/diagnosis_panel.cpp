#include "widgets/diagnosis_panel.h"

#include <QFrame>
#include <QLabel>
#include <algorithm>

#include "widgets/accessibility.h"
#include "widgets/look.h"

namespace sorelka {

namespace {
constexpr int kMarkerPad = 3;  // the frame stands this far outside the cell
const QColor kMarkerColour{0xFF, 0x8C, 0x00};
}  // namespace

DiagnosisPanel::DiagnosisPanel(QWidget* screen, const QRect& place) : place_(place) {
    label_ = new QLabel(screen);
    label_->setObjectName(QStringLiteral("DiagnosisPanel"));
    label_->setTextFormat(Qt::PlainText);
    label_->setFont(SchoolFont(18, true));
    label_->setWordWrap(true);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setMargin(6);
    label_->setAutoFillBackground(true);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xF6, 0xE0));
    palette.setColor(QPalette::WindowText, kNavyColour);
    label_->setPalette(palette);
    label_->setFrameShape(QFrame::Box);
    label_->setGeometry(place);
    label_->hide();

    marker_ = new QFrame(screen);
    marker_->setObjectName(QStringLiteral("DiagnosisMarker"));
    marker_->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker_->setAccessibleName(QStringLiteral("まちがえた ところ"));
    marker_->setStyleSheet(
        QStringLiteral("QFrame#DiagnosisMarker { border: 3px solid %1; border-radius: 4px;"
                       " background: transparent; }")
            .arg(kMarkerColour.name()));
    marker_->hide();
}

void DiagnosisPanel::Show(const std::optional<DiagnosisNote>& note, const QRect& cell) {
    if (!note) {
        Hide();
        return;
    }
    const QString text = QString::fromStdString(note->Text());
    // Heard at once by a screen reader, without the focus moving.
    Announce(label_, text);
    label_->setGeometry(place_.x(), place_.y(), place_.width(),
                        std::min(place_.height(), label_->heightForWidth(place_.width())));
    label_->show();
    label_->raise();
    if (cell.isEmpty()) {
        marker_->hide();
        return;
    }
    marker_->setGeometry(cell.adjusted(-kMarkerPad, -kMarkerPad, kMarkerPad, kMarkerPad));
    marker_->show();
    marker_->raise();
}

void DiagnosisPanel::Hide() {
    label_->hide();
    Announce(label_, QString());
    marker_->hide();
}

QRect ChildRect(const QWidget* screen, const std::string& name) {
    if (name.empty()) return {};
    const auto* child = screen->findChild<QWidget*>(QString::fromStdString(name),
                                                    Qt::FindDirectChildrenOnly);
    if (!child || child->isHidden()) return {};
    return child->geometry();
}

}  // namespace sorelka
