#pragma once

#include <QWidget>

#include "core/app_context.h"

class QLabel;
class QListWidget;

namespace sorelka {

namespace record {
class LearningRecord;
}

// MyRecordWindow: the current pupil's own record, big and read-only. Per
// topic this week's percent right (TopicLabel1…5) with a star for every day
// practised (StarsLabel1…5, Monday to Sunday), the days in a row
// (StreakLabel) and the last five mistakes with their kind (MistakeList).
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
    QLabel* topics_[5] = {};
    QLabel* stars_[5] = {};
    QLabel* streak_ = nullptr;
    QListWidget* mistakes_ = nullptr;
};

}  // namespace sorelka
