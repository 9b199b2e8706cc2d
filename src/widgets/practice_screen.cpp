#include "widgets/practice_screen.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka {

namespace {

// A pencil lying along the x axis through the picture's centre, before it is
// tilted: its eraser, ferrule and body, and the sharpened wood and lead from
// where they start on the body's end to the point.
struct PencilLook {
    QColor outline, eraser, ferrule, body, wood, lead;
    QRectF eraser_place, ferrule_place, body_place;
    double wood_from, wood_point;
    double lead_from, lead_point, lead_half_width;
};

const PencilLook kDownLeft{
    .outline = {0x70, 0x50, 0x20}, .eraser = {0xFF, 0x9C, 0xB0}, .ferrule = {0xC8, 0xC8, 0xD0},
    .body = {0xFF, 0xCC, 0x30}, .wood = {0xF5, 0xD9, 0xA8}, .lead = {0x30, 0x30, 0x40},
    .eraser_place = {14, -7, 12, 14}, .ferrule_place = {9, -7, 6, 14}, .body_place = {-14, -7, 23, 14},
    .wood_from = -14, .wood_point = -26, .lead_from = -22, .lead_point = -26, .lead_half_width = 2.3};
const PencilLook kUpRight{
    .outline = {0x6A, 0x4A, 0x20}, .eraser = {0xFF, 0x9E, 0xB5}, .ferrule = {0xC8, 0xC8, 0xD8},
    .body = {0xFF, 0xC9, 0x2E}, .wood = {0xF4, 0xD9, 0xA8}, .lead = {0x40, 0x40, 0x50},
    .eraser_place = {-28, -7, 9, 14}, .ferrule_place = {-20, -7, 6, 14}, .body_place = {-14, -7, 28, 14},
    .wood_from = 14, .wood_point = 27, .lead_from = 23, .lead_point = 28, .lead_half_width = 2.2};

// The point of a pencil: a triangle from `from` (half as wide as the body
// there, `half_width`) to `point` on the axis.
QPainterPath Point(double from, double point, double half_width) {
    QPainterPath path;
    path.moveTo(from, -half_width);
    path.lineTo(point, 0);
    path.lineTo(from, half_width);
    path.closeSubpath();
    return path;
}

}  // namespace

QStringList MenuTexts(const std::vector<std::string>& items) {
    QStringList out;
    for (const std::string& item : items) out << QString::fromStdString(item);
    return out;
}

QPixmap PencilPicture(PencilTip tip) {
    const PencilLook& look = tip == PencilTip::DownLeft ? kDownLeft : kUpRight;
    return DrawnPicture(64, 64, [&look](QPainter& p) {
        p.translate(32, 32);
        p.rotate(-45);
        p.setPen(QPen(look.outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(look.eraser);
        p.drawRoundedRect(look.eraser_place, 3, 3);
        p.setBrush(look.ferrule);
        p.drawRect(look.ferrule_place);
        p.setBrush(look.body);
        p.drawRect(look.body_place);
        p.setBrush(look.wood);
        p.drawPath(Point(look.wood_from, look.wood_point, look.body_place.height() / 2));
        p.setBrush(look.lead);
        p.drawPath(Point(look.lead_from, look.lead_point, look.lead_half_width));
    });
}

PracticeScreen::PracticeScreen(AppContext& ctx, const QString& name, const QString& caption,
                               PracticeFrame frame, QWidget* parent)
    : ExerciseScreen(ctx, name, caption, parent, frame.size), frame_(std::move(frame)) {}

PracticeScreen::~PracticeScreen() = default;

void PracticeScreen::BuildFrame() {
    MakeBoldLabel(this, QStringLiteral("Label1"), frame_.title_pixels, kNavyColour, frame_.title_place)
        ->setText(frame_.title);

    menu_ = new ChoiceList(QStringLiteral("ComboBox1"), frame_.menu_heading, frame_.menu_items, this);
    menu_->PlaceAt(frame_.menu_place.left(), frame_.menu_place.top(), frame_.menu_place.width());

    auto* picture = new QLabel(this);
    picture->setObjectName(frame_.picture_name);
    if (frame_.picture) SetPictureWhenShown(picture, frame_.picture);
    picture->setGeometry(frame_.picture_place);

    prompt_ = MakeBoldLabel(this, QStringLiteral("Label2"), 22, Qt::red, frame_.prompt_place);
    prompt_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    prompt_->setWordWrap(frame_.prompt_wraps);
    prompt_->setText(frame_.first_prompt);

    next_ = new CuteButton(frame_.next_name, QStringLiteral("次へ"), frame_.next_colour, kNavyColour, this);
    next_->setGeometry(frame_.next_place);
    auto* back = new CuteButton(QStringLiteral("CuteButton2"), QStringLiteral("目次"), QColor(0xFF, 0xE0, 0x8A),
                                kNavyColour, this);
    back->setGeometry(frame_.back_place);
    connect(back, &QPushButton::clicked, this, &PracticeScreen::BackToMenuPressed);
    auto* quit = new CuteButton(QStringLiteral("CuteButton1"), frame_.quit_caption, kNavyColour, kCream, this);
    quit->setGeometry(frame_.quit_place);
    connect(quit, &QPushButton::clicked, this, &PracticeScreen::QuitPressed);

    AddStatusBar(frame_.status_height);
}

void PracticeScreen::AddExampleModes(ExampleModes modes) {
    QStringList kept = std::move(modes.kept);
    kept << prompt_->objectName() << menu_->objectName();
    player_ = new WorkedExamplePlayer(this, modes.worked_example_place, prompt_, panel_, kept);
    finder_ = new MistakeFinder(ctx(), this, modes.find_mistake_place, prompt_, modes.mark, panel_, kept,
                                std::move(modes.go_on));
    connect(player_, &WorkedExamplePlayer::requested, this, &PracticeScreen::ShowWorkedExample);
    connect(finder_, &MistakeFinder::requested, this, &PracticeScreen::ShowMistakeExample);
}

void PracticeScreen::LeaveExampleModes() {
    const bool finding = finder_->active();
    if (!player_->showing() && !finding) return;
    player_->Stop();
    finder_->Leave();
    ShowOwnWork(finding);
}

void PracticeScreen::LeaveGuideAndExamples() {
    LeaveGuide();
    LeaveExampleModes();
}

bool PracticeScreen::NextBringsAnotherExample() {
    if (finder_->active()) {
        ShowMistakeExample();
        return true;
    }
    LeaveExampleModes();
    return false;
}

void PracticeScreen::QuitPressed() { AskToQuit(frame_.quit_question); }

void PracticeScreen::BackToMenuPressed() { ReturnToMenu(); }

}  // namespace sorelka
