#include "app/my_record_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "coach/recommender.h"
#include "topics/topic_table.h"
#include "record/learning_record.h"
#include "report/report_data.h"
#include "widgets/cute_button.h"
#include "widgets/look.h"

namespace sorelka {

namespace {

const QColor kStarColour{0xE8, 0xA0, 0x00};

QLabel* Big(const QString& name, int size, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);  // names and answers are shown as typed, never as markup
    l->setFont(SchoolFont(size, true));
    SetTextColour(l, kNavyColour);
    return l;
}

}  // namespace

MyRecordWindow::MyRecordWindow(record::LearningRecord& record, AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(record), ctx_(ctx) {
    setObjectName(QStringLiteral("MyRecordWindow"));
    setWindowTitle(QStringLiteral("じぶんのきろく"));
    SetBackground(this, kCream);
    resize(960, 720);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 20, 32, 20);
    layout->setSpacing(12);
    heading_ = Big(QStringLiteral("HeadingLabel"), 34, this);
    layout->addWidget(heading_);
    auto* week = Big(QStringLiteral("WeekLabel"), 20, this);
    week->setText(QStringLiteral("こんしゅうの きろく（★は れんしゅうした日）"));
    layout->addWidget(week);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    for (std::size_t t = 0; t < kAllTopics.size(); ++t) {
        const int number = TopicNumber(kAllTopics[t]);
        topics_[t] = Big(QStringLiteral("TopicLabel%1").arg(number), 24, this);
        stars_[t] = Big(QStringLiteral("StarsLabel%1").arg(number), 28, this);
        SetTextColour(stars_[t], kStarColour);
        grid->addWidget(topics_[t], int(t), 0);
        grid->addWidget(stars_[t], int(t), 1);
    }
    layout->addLayout(grid);

    streak_ = Big(QStringLiteral("StreakLabel"), 26, this);
    SetTextColour(streak_, QColor(0xC0, 0x30, 0x60));
    layout->addWidget(streak_);

    // The last mistakes and the skills side by side.
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(20);
    auto* last = Big(QStringLiteral("MistakeHeading"), 20, this);
    last->setText(QStringLiteral("さいきんの まちがい"));
    lists->addWidget(last, 0, 0);
    auto* levels = Big(QStringLiteral("SkillHeading"), 20, this);
    levels->setText(QStringLiteral("できるように なったこと"));
    lists->addWidget(levels, 0, 1);
    skills_ = new QListWidget(this);
    skills_->setObjectName(QStringLiteral("SkillList"));
    skills_->setAccessibleName(QStringLiteral("できるように なったこと"));
    skills_->setFont(SchoolFont(17));
    skills_->setSelectionMode(QAbstractItemView::NoSelection);
    skills_->setFocusPolicy(Qt::NoFocus);
    lists->addWidget(skills_, 1, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);
    mistakes_ = new QListWidget(this);
    mistakes_->setObjectName(QStringLiteral("MistakeList"));
    mistakes_->setAccessibleName(QStringLiteral("さいきんの まちがい"));
    mistakes_->setFont(SchoolFont(20));
    mistakes_->setSelectionMode(QAbstractItemView::NoSelection);
    mistakes_->setFocusPolicy(Qt::NoFocus);
    lists->addWidget(mistakes_, 1, 0);
    layout->addLayout(lists, 1);

    auto* close = new CuteButton(QStringLiteral("CloseButton"), QStringLiteral("とじる"),
                                 QColor(0xFF, 0xF4, 0xD6), kNavyColour, this);
    close->setAccessibleName(QStringLiteral("とじる"));
    close->setFont(SchoolFont(22, true));
    close->setMinimumSize(160, 56);
    auto* practise = new CuteButton(QStringLiteral("PracticeWeakest"), QStringLiteral("れんしゅうする"),
                                    QColor(0xFF, 0xC8, 0x7A), kNavyColour, this);
    practise->setAccessibleName(QStringLiteral("にがてを れんしゅうする"));
    practise->setFont(SchoolFont(22, true));
    practise->setMinimumSize(220, 56);
    connect(practise, &QPushButton::clicked, this, [this] {
        record::SkillMastery* mastery = record_.mastery();
        const std::string weakest =
            mastery ? coach::WeakestSkill(mastery->Skills(record_.current_pupil())) : std::string();
        if (ctx_.open_recommended) ctx_.open_recommended(weakest);
        Refresh();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(practise);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(&record_, &record::LearningRecord::pupilChanged, this, &MyRecordWindow::Refresh);
    Refresh();
}

void MyRecordWindow::Refresh() {
    const LocalTime now = ctx_.clock.Now();
    const QDate today(now.year, now.month, now.day);
    heading_->setText(QStringLiteral("%1さんの きろく").arg(record_.shown_name()));
    report::OwnRecord own;
    if (record_.store().Ready())
        own = report::ReadOwnRecord(record_.store().database(), record_.current_pupil(), today);
    for (std::size_t t = 0; t < own.topics.size(); ++t) {
        const report::OwnTopicWeek& w = own.topics[t];
        const QString name = report::TopicName(w.topic);
        topics_[t]->setText(w.answers ? QStringLiteral("%1　%2％ せいかい").arg(name).arg(w.percent)
                                      : QStringLiteral("%1　まだ やっていないよ").arg(name));
        QString stars;
        for (bool day : w.practised) stars += day ? QStringLiteral("★") : QStringLiteral("☆");
        stars_[t]->setText(stars);
        stars_[t]->setAccessibleName(QStringLiteral("%1 こんしゅう %2日 れんしゅうした")
                                         .arg(name)
                                         .arg(std::count(w.practised.begin(), w.practised.end(), true)));
    }
    streak_->setText(own.days_in_a_row > 1
                         ? QStringLiteral("%1日 つづけて れんしゅうしているよ！すごい！").arg(own.days_in_a_row)
                     : own.days_in_a_row == 1 ? QStringLiteral("れんしゅうを はじめたね！あしたも つづけよう！")
                                              : QStringLiteral("きょうから れんしゅうを はじめよう！"));
    mistakes_->clear();
    for (const report::WrongAnswer& w : own.last_mistakes) {
        const QString kind = report::KindLabel(w.topic, w.kind);
        mistakes_->addItem(QStringLiteral("%1　きみの こたえ %2 → %3%4")
                               .arg(w.problem, w.entered.isEmpty() ? QStringLiteral("（なし）") : w.entered, w.right,
                                    kind.isEmpty() ? QString() : QStringLiteral("（%1）").arg(kind)));
    }
    if (own.last_mistakes.empty()) mistakes_->addItem(QStringLiteral("まちがいは ないよ！"));

    skills_->clear();
    record::SkillMastery* mastery = record_.mastery();
    const PupilSkills skills = mastery ? mastery->Skills(record_.current_pupil()) : PupilSkills{};
    for (Topic topic : kAllTopics) {
        const TopicInfo& info = Describe(topic);
        auto* heading = new QListWidgetItem(QString::fromStdString(info.name), skills_);
        heading->setFont(SchoolFont(18, true));
        for (const TopicSkill& s : info.skills) {
            const auto found = skills.find(s.info.id);
            const Level level = found == skills.end() ? Level::NotYet : LevelOf(found->second);
            skills_->addItem(QStringLiteral("　%1　%2").arg(QString::fromUtf8(s.info.pupil_label.data(),
                                                                           qsizetype(s.info.pupil_label.size())),
                                                        LevelForPupil(level)));
        }
    }
}

QString LevelForPupil(Level level) {
    switch (level) {
        case Level::A: return QStringLiteral("★★★ よく できる");
        case Level::B: return QStringLiteral("★★☆ だいたい できる");
        case Level::C: return QStringLiteral("★☆☆ もう すこし");
        case Level::D: return QStringLiteral("☆☆☆ れんしゅう しよう");
        case Level::NotYet: break;
    }
    return QStringLiteral("まだ");
}

}  // namespace sorelka
