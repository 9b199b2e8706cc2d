#include "widgets/mistake_finder.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include "widgets/accessibility.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/worked_example_player.h"
#include "widgets/worksheet_view.h"

namespace sorelka {

namespace {

const QColor kFinderColour{0xD8, 0xE4, 0xFF};
const QColor kPlaceRim{0x30, 0x60, 0xD0};

// The place of the digit `from_right` columns left of a number's last
// digit (0: its ones), or `from_point` columns from its decimal point.
QString DigitPlace(int from_right) {
    static const char* const kPlaces[] = {"一の位", "十の位", "百の位", "千の位"};
    return from_right >= 0 && from_right < 4 ? QString::fromUtf8(kPlaces[from_right]) : QString();
}
QString PointPlace(int from_point) {
    static const char* const kDecimals[] = {"小数第一位", "小数第二位", "小数第三位"};
    if (from_point < 0) return DigitPlace(-from_point - 1);
    return from_point >= 1 && from_point <= 3 ? QString::fromUtf8(kDecimals[from_point - 1]) : QString();
}

}  // namespace

QRect RoleRect(const QWidget* screen, const RoleCell& cell) {
    return MarkedCells(screen, cell.name, cell.digit_from == RoleCell::Digit::FromLeft ? cell.digit : -1);
}

QRect WrittenRoleRect(const QWidget* screen, const RoleCell& cell) {
    const auto* label = screen->findChild<QLabel*>(QString::fromStdString(cell.name), Qt::FindDirectChildrenOnly);
    if (label && label->text().trimmed().isEmpty() && label->pixmap().isNull()) return {};
    return RoleRect(screen, cell);
}

QString RolePlaceName(const QWidget* screen, const RoleCell& cell) {
    const auto* label = screen->findChild<QLabel*>(QString::fromStdString(cell.name), Qt::FindDirectChildrenOnly);
    if (!label) return {};
    QString role = SpokenRole(label);
    if (role.isEmpty()) role = label->accessibleName();
    QString place;
    if (cell.digit_from == RoleCell::Digit::FromLeft)
        place = DigitPlace(cell.place > 0 ? cell.place - 1 : int(label->text().trimmed().size()) - 1 - cell.digit);
    else if (cell.digit_from == RoleCell::Digit::FromPoint)
        place = PointPlace(cell.digit);
    return place.isEmpty() ? role : role + QStringLiteral("の ") + place;
}

MistakePlace::MistakePlace(std::size_t index, const QString& name, QWidget* parent)
    : QPushButton(parent), index_(index) {
    setObjectName(QStringLiteral("MistakePlace%1").arg(index + 1));
    setAccessibleName(name);
    setAccessibleDescription(QStringLiteral("まちがえた ところなら えらんでね"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setFlat(true);
    WatchKeyboard();
}

void MistakePlace::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void MistakePlace::paintEvent(QPaintEvent*) {
    // The cell under it shows through; only a pointer or the keyboard's
    // focus draws a rim round it.
    const bool keyboard = hasFocus() && LastInputWasKeyboard();
    if (!keyboard && !underMouse()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kPlaceRim, keyboard ? 3 : 2, keyboard ? Qt::SolidLine : Qt::DashLine));
    p.setBrush(QColor(kPlaceRim.red(), kPlaceRim.green(), kPlaceRim.blue(), 28));
    p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
}

MistakeFinder::MistakeFinder(AppContext& ctx, QWidget* screen, const QRect& place, QLabel* prompt,
                             QLabel* mark, DiagnosisPanel* panel, QStringList kept, std::string go_on)
    : QObject(screen),
      ctx_(ctx),
      screen_(screen),
      prompt_(prompt),
      mark_(mark),
      panel_(panel),
      kept_(std::move(kept)),
      go_on_(std::move(go_on)) {
    setObjectName(QStringLiteral("MistakeFinder"));
    button_ = new CuteButton(QStringLiteral("FindTheMistake"), QStringLiteral("まちがいさがし"), kFinderColour,
                             kNavyColour, screen);
    button_->setGeometry(place);
    connect(button_, &QPushButton::clicked, this, &MistakeFinder::requested);
}

void MistakeFinder::Show(MistakeShown example) {
    ClearPlaces();
    if (!active_) lists_.Hold(screen_, kept_);
    example_ = std::move(example);
    active_ = true;
    answered_ = false;
    panel_->Hide();
    Announce(mark_, QString());
    ApplyWorksheetExcept(screen_, example_.sheet, kept_, false, example_.layout);
    // A finished example has no row being written: no marker points at one.
    for (PictureWidget* picture : screen_->findChildren<PictureWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (picture->kind() == PictureWidget::Kind::Marker) picture->hide();
    Announce(prompt_, FittedText(prompt_, QString::fromUtf8(kFindTheMistakePrompt)));
    // The widget a place stands in: its role's, where the sheet is keyed by role.
    const auto on_screen = [this](RoleCell cell) {
        if (example_.layout)
            cell.name = example_.layout(cell.name, example_.sheet.at(cell.name), example_.sheet).object_name;
        return cell;
    };
    if (!example_.rect) example_.rect = [this, on_screen](const RoleCell& cell) { return RoleRect(screen_, on_screen(cell)); };
    names_.clear();
    for (std::size_t i = 0; i < example_.places.size(); ++i) {
        const RoleCell& cell = example_.places[i];
        names_.push_back(RolePlaceName(screen_, on_screen(cell)));
        const QRect rect = example_.rect(cell);
        if (rect.isEmpty()) continue;
        // Heard as the place and what it shows: "商の 十の位　２".
        const QString shown = QString::fromStdString(RoleText(example_.sheet, cell)).trimmed();
        auto* place = new MistakePlace(i, names_.back() + QStringLiteral("　") + shown, screen_);
        place->setGeometry(rect);
        place->show();
        place->raise();
        connect(place, &QPushButton::clicked, this, [this, i] { Point(i); });
        places_.push_back(place);
    }
    // Tab goes through the places in reading order with the screen's other
    // widgets; the first place takes the focus.
    SetReadingTabOrder(screen_);
    if (!places_.empty()) places_.front()->setFocus(Qt::OtherFocusReason);
    watch_.Shown(ctx_.clock);
}

void MistakeFinder::Point(std::size_t index) {
    // A second answer to the same example changes nothing.
    if (!active_ || answered_ || index >= example_.places.size()) return;
    answered_ = true;
    const bool right = example_.judge(index);
    JudgedAnswer answer = example_.answer;
    answer.correct = right;
    answer.right_answer = names_[example_.wrong].toStdString();
    answer.entered_answer = names_[index].toStdString();
    RecordFoundMistakeVerdict(ctx_, watch_, answer);
    // Answered: the places step aside (a second answer would change nothing),
    // so the frame can stand on the cell where the mistake was. The keyboard
    // goes to "まちがいさがし" (another example), not on to whatever widget
    // follows the place.
    button_->setFocus(Qt::OtherFocusReason);
    for (MistakePlace* place : places_) place->hide();
    Announce(mark_, QString::fromUtf8(right ? "○" : "×"));
    ctx_.cues.PlayCue(VerdictCue(right));
    std::vector<QRect> mistake;
    for (std::size_t i : example_.accepted) mistake.push_back(example_.rect(example_.places[i]));
    if (mistake.empty()) mistake.push_back(example_.rect(example_.places[example_.wrong]));
    panel_->Show(example_.note, mistake);
    Announce(prompt_, QString::fromStdString(go_on_));
}

void MistakeFinder::Leave() {
    watch_.Close();
    ClearPlaces();
    if (!active_) return;
    active_ = false;
    answered_ = false;
    panel_->Hide();
    Announce(mark_, QString());
    lists_.GiveBack();
    // The screen's own prompts are heard by their text again.
    prompt_->setAccessibleName(QString());
}

void MistakeFinder::ClearPlaces() {
    // Never from a place's own handler (Show and Leave answer other widgets).
    for (MistakePlace* place : places_) delete place;
    places_.clear();
}

}  // namespace sorelka
