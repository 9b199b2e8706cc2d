#include "app/work_practice.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/recorded_answers.h"
#include "coach/skill_catalogue.h"
#include "core/app_context.h"
#include "core/wide_digits.h"
#include "record/learning_record.h"
#include "topics/topic_table.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/exercise_screen.h"
#include "widgets/look.h"
#include "widgets/practice_screen.h"

namespace sorelka {

namespace {

const QColor kWorkColour{0x8A, 0x3B, 0x00};

QString Wide(int n) { return QString::fromStdString(WideText(static_cast<long long>(n))); }

// "12月15日まで"; the text itself when it is no day.
QString DueText(const QString& day) {
    const QDate date = QDate::fromString(day, Qt::ISODate);
    return date.isValid() ? QStringLiteral("%1月%2日まで").arg(date.month()).arg(date.day()) : day;
}

QString TodayText(const AppContext& ctx) {
    const LocalTime now = ctx.clock.Now();
    return QDate(now.year, now.month, now.day).toString(Qt::ISODate);
}

}  // namespace

QString WorkWhat(const record::WorkPiece& piece, const std::function<QString(Topic, int)>& menu_text) {
    if (piece.recommended) return QStringLiteral("おすすめ");
    if (!piece.skill.isEmpty()) {
        const std::optional<coach::FoundSkill> found = coach::FindSkill(piece.skill.toStdString());
        if (!found) return piece.skill;
        return QString::fromStdString(Describe(found->topic).name) + QStringLiteral("　") +
               QString::fromUtf8(found->skill->info.pupil_label.data(),
                                 static_cast<qsizetype>(found->skill->info.pupil_label.size()));
    }
    const std::optional<Topic> topic = piece.topic ? TopicFromNumber(*piece.topic) : std::nullopt;
    if (!topic) return QString();
    QString what = QString::fromStdString(Describe(*topic).name);
    const QString item = piece.menu_choice && menu_text ? menu_text(*topic, *piece.menu_choice) : QString();
    if (!item.isEmpty()) what += QStringLiteral("　") + item;
    return what;
}

QString WorkCountText(int answered, int problems) {
    return Wide(answered) + QStringLiteral("／") + Wide(problems);
}

QString WorkRowText(const record::OpenPiece& open, const QString& what) {
    QString row = open.piece.title + QStringLiteral("　（") + what + QStringLiteral("）　") +
                  DueText(open.piece.due_day) + QStringLiteral("　") +
                  WorkCountText(open.answered, open.piece.problems);
    if (open.past_due) row += QStringLiteral("　きげんが すぎているよ");
    return row;
}

WorkDialog::WorkDialog(const std::vector<record::OpenPiece>& pieces,
                       const std::function<QString(Topic, int)>& menu_text, QWidget* parent)
    : QDialog(parent), pieces_(pieces) {
    setObjectName(QStringLiteral("WorkDialog"));
    setWindowTitle(QStringLiteral("かだい"));
    setFont(SchoolFont(18));
    SetBackground(this, kMenuBackground);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("どの かだいを する？"), this);
    heading->setObjectName(QStringLiteral("WorkHeading"));
    heading->setFont(SchoolFont(22, true));
    SetTextColour(heading, kNavyColour);
    layout->addWidget(heading);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("WorkList"));
    list_->setAccessibleName(QStringLiteral("かだい"));
    list_->setWordWrap(true);
    for (const record::OpenPiece& open : pieces_) {
        auto* item = new QListWidgetItem(WorkRowText(open, WorkWhat(open.piece, menu_text)), list_);
        if (open.past_due) item->setForeground(QColor(0xB0, 0x00, 0x00));
    }
    // Rows as cards on the menu's paper, the chosen one marked as a chosen
    // menu item is.
    list_->setStyleSheet(QStringLiteral(
        "QListWidget { background: #FFFBF0; border: 2px solid #B8B8E0; border-radius: 8px; color: #000080; }"
        " QListWidget::item { padding: 10px 6px; border-bottom: 1px solid #DDDDF0; }"
        " QListWidget::item:selected { background: #FFE28A; color: #000080; }"));
    list_->setMinimumSize(900, 60 + 56 * int(std::min<std::size_t>(pieces_.size(), 8)));
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* back = new CuteButton(QStringLiteral("WorkBackButton"), QStringLiteral("もどる"), kDrillSkyBlue,
                                kNavyColour, this);
    back->setFont(SchoolFont(22, true));
    back->setMinimumSize(150, 52);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(back);
    layout->addLayout(buttons);
    auto choose = [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (row < 0 || row >= int(pieces_.size())) return;
        chosen_ = pieces_[std::size_t(row)];
        accept();
    };
    connect(list_, &QListWidget::itemClicked, this, choose);
    connect(list_, &QListWidget::itemActivated, this, choose);
    if (list_->count() > 0) list_->setCurrentRow(0);
}

WorkGuide::WorkGuide(AppContext& ctx, record::WorkPiece piece, int answered, Topic topic,
                     RecommendedPractice::ShowProblem show, RecommendedPractice* recommended, QLabel* count,
                     QLabel* prompt)
    : ctx_(ctx),
      piece_(std::move(piece)),
      answered_(answered),
      topic_(topic),
      show_(std::move(show)),
      recommended_(recommended),
      count_(count),
      prompt_(prompt) {}

void WorkGuide::Begin() {
    if (recommended_)
        recommended_->Begin();
    else
        Next();
    if (prompt_) Announce(prompt_, QStringLiteral("かだい「%1」").arg(piece_.title));
    ShowCount();
    count_->show();
}

bool WorkGuide::Next() {
    if (recommended_) return recommended_->Next();
    int menu = piece_.menu_choice.value_or(0);
    std::optional<coach::TopicProblem> problem;
    if (!piece_.skill.isEmpty()) {
        const std::string skill = piece_.skill.toStdString();
        if (const auto found = coach::FindSkill(skill); found && found->topic == topic_) {
            menu = found->skill->practice_items.First();
            problem = coach::TargetedDraw(topic_, skill, menu, ctx_.random);
        }
    }
    if (!problem && menu > 0) problem = coach::OrdinaryDraw(topic_, menu, ctx_.random);
    if (!problem) return false;
    show_(*problem, menu);
    return true;
}

void WorkGuide::Judged(bool right) {
    if (recommended_) recommended_->Judged(right);
    if (finished() && !told_done_ && !stopped_) {
        told_done_ = true;
        Announce(count_, QStringLiteral("かだい おわり！"));
    }
}

void WorkGuide::Left() {
    if (recommended_) recommended_->Left();
    count_->hide();
    if (on_left) on_left();
}

bool WorkGuide::Answered() {
    if (finished() || stopped_) return false;
    ++answered_;
    ShowCount();
    return !finished();
}

void WorkGuide::Stop() {
    stopped_ = true;
    count_->hide();
}

void WorkGuide::ShowCount() { Announce(count_, WorkCountText(answered_, piece_.problems)); }

WorkRunner::WorkRunner(AppContext& ctx, record::LearningRecord& record, RecordedAnswers& answers,
                       RecommendedScreens& screens, QObject* parent)
    : QObject(parent), ctx_(ctx), record_(record), answers_(answers), screens_(screens) {
    connect(&record_, &record::LearningRecord::pupilChanged, this, &WorkRunner::ListChanged);
}

WorkRunner::~WorkRunner() { answers_.SetWork(std::nullopt); }

std::vector<record::OpenPiece> WorkRunner::OpenPieces() {
    if (!record_.store().Ready()) return {};
    QSqlDatabase db = record_.store().database();
    const std::optional<qint64> pupil = record::PupilId(db, record_.current_pupil());
    if (!pupil) return {};
    return record::OpenWork(record::ReadWorkGiven(db), *pupil, record::WorkAnswers(db, *pupil), TodayText(ctx_));
}

QString WorkRunner::MenuText(Topic topic, int menu_choice) const {
    const RecommendedScreens::Place place = screens_.PlaceOf(topic);
    auto* menu = place.screen ? place.screen->findChild<ChoiceList*>(QStringLiteral("ComboBox1")) : nullptr;
    if (!menu || menu_choice < 1 || menu_choice > menu->view()->count()) return QString();
    return menu->view()->item(menu_choice - 1)->text().trimmed();
}

void WorkRunner::OpenDialog(QWidget* over) {
    const std::vector<record::OpenPiece> pieces = OpenPieces();
    if (pieces.empty()) return;
    WorkDialog dialog(pieces, [this](Topic t, int item) { return MenuText(t, item); }, over);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen()) return;
    Run(*dialog.chosen());
}

QLabel* WorkRunner::CountLabelOn(ExerciseScreen* screen) {
    if (auto* label = screen->findChild<QLabel*>(QStringLiteral("WorkCount"), Qt::FindDirectChildrenOnly))
        return label;
    auto* label = new QLabel(screen);
    label->setObjectName(QStringLiteral("WorkCount"));
    label->setFont(SchoolFont(20, true));
    SetTextColour(label, kWorkColour);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The right end of the line recommended practice writes on: between the
    // title and the worksheet, clear of the menu.
    const QRect line = static_cast<PracticeScreen*>(screen)->focus_line_place();
    label->setGeometry(line.right() - 200, line.top(), 200, line.height());
    label->hide();
    return label;
}

void WorkRunner::Run(const record::OpenPiece& open) {
    const record::WorkPiece& piece = open.piece;
    std::optional<Topic> topic;
    RecommendedPractice* recommended = nullptr;
    if (piece.recommended) {
        const coach::Recommendation pick = screens_.Pick();
        topic = pick.topic;
        recommended = screens_.PlaceOf(pick.topic).guide;
        if (recommended) recommended->StartOn(pick.focus);
    } else if (!piece.skill.isEmpty()) {
        // A skill this program's practice cannot aim at is no piece it can run.
        if (const auto found = coach::FindSkill(piece.skill.toStdString());
            found && !found->skill->practice_items.empty())
            topic = found->topic;
    } else if (piece.topic && piece.menu_choice) {
        topic = TopicFromNumber(*piece.topic);
        if (topic && MenuText(*topic, *piece.menu_choice).isEmpty()) topic.reset();  // no such menu item
    }
    const RecommendedScreens::Place place = topic ? screens_.PlaceOf(*topic) : RecommendedScreens::Place{};
    if (!place.screen) {
        // A newer program's topic or item, a piece the server's check let through.
        ctx_.dialogs.ShowMessage("この かだいは このパソコンの Sorelka では できないよ。先生に つたえてね。");
        return;
    }
    QLabel* count = CountLabelOn(place.screen);
    if (recommended) {
        // The line naming the skill gives the count its room.
        if (auto* focus = place.screen->findChild<QLabel*>(QStringLiteral("PracticeFocus"))) {
            narrowed_focus_ = focus;
            focus_place_ = focus->geometry();
            focus->setGeometry(focus_place_.adjusted(0, 0, -(count->width() + 8), 0));
        }
    }
    guide_ = std::make_unique<WorkGuide>(ctx_, piece, open.answered, *topic, place.show, recommended, count,
                                         place.screen->findChild<QLabel*>(QStringLiteral("Label2")));
    guide_->on_left = [this] { answers_.SetWork(std::nullopt); };
    run_pupil_ = record_.current_pupil();
    answers_.SetWork(piece.id, [this] {
        if (guide_ && !guide_->Answered()) answers_.SetWork(std::nullopt);
    });
    ExerciseScreen* screen = place.screen;
    screen->SetGuide(guide_.get());
    screen->ShowModal();
    if (screen->guide() == guide_.get()) {
        screen->SetGuide(nullptr);
        guide_->Left();
    }
    EndRun();
}

void WorkRunner::EndRun() {
    answers_.SetWork(std::nullopt);
    if (narrowed_focus_) narrowed_focus_->setGeometry(focus_place_);
    narrowed_focus_ = nullptr;
    guide_.reset();
}

std::optional<qint64> WorkRunner::running() const {
    const std::optional<long long> work = answers_.work();
    return work ? std::optional<qint64>(*work) : std::nullopt;
}

void WorkRunner::ListChanged() {
    if (!guide_ || !answers_.work()) return;
    const QString pupil = record_.current_pupil();
    if (pupil != run_pupil_) {
        // Another pupil sat down: their answers are their own, not this piece's.
        guide_->Stop();
        answers_.SetWork(std::nullopt);
        return;
    }
    QSqlDatabase db = record_.store().database();
    const std::optional<qint64> pupil_id = record::PupilId(db, pupil);
    for (const record::WorkPiece& piece : record::ReadWorkGiven(db))
        if (pupil_id && piece.id == guide_->piece().id && record::IsForPupil(piece, *pupil_id)) return;
    guide_->Stop();
    answers_.SetWork(std::nullopt);
    ctx_.dialogs.ShowMessage(kWorkWithdrawnSentence);
}

}  // namespace sorelka
