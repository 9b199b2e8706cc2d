#pragma once

#include <QWidget>

#include <array>

#include "core/app_context.h"
#include "core/mastery.h"
#include "core/topic.h"

class QLabel;
class QListWidget;

namespace sorelka {

namespace record {
class LearningRecord;
}

// MyRecordWindow: the current pupil's own record, big and read-only. Per
// topic this week's percent right (TopicLabel1…6, numbered as the record
// numbers the topics) with a star for every day practised (StarsLabel1…6,
// Monday to Sunday), the days in a row (StreakLabel) and the last five
// mistakes with their kind (MistakeList); each topic's skills with their
// level in words and stars (SkillList) and "れんしゅうする" (PracticeWeakest),
// recommended practice on the weakest skill. The heading holds the pupil's name
// and shows it as typed, never as markup.
class MyRecordWindow : public QWidget {
    Q_OBJECT
public:
    MyRecordWindow(record::LearningRecord& record, AppContext& ctx, QWidget* parent);

public slots:
    void Refresh();

private:
    record::LearningRecord& record_;
    AppContext& ctx_;
    QLabel* heading_ = nullptr;
    // In the order of kAllTopics.
    std::array<QLabel*, kAllTopics.size()> topics_{};
    std::array<QLabel*, kAllTopics.size()> stars_{};
    QLabel* streak_ = nullptr;
    QListWidget* mistakes_ = nullptr;
    QListWidget* skills_ = nullptr;
};

// A level as the pupil reads it: stars and words ("★★☆ だいたい できる"; "まだ").
QString LevelForPupil(Level level);

}  // namespace sorelka
