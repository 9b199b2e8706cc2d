#pragma once

#include <QThread>
#include <memory>

#include "app/teacher/teacher_tab.h"
#include "app/teacher/work_models.h"
#include "core/services.h"

class QLabel;
class QTableView;
class QTimer;

namespace sorelka {

// "いまの ようす": the class now (LiveTable: each pupil's screen and topic,
// the answers of the last ten minutes and their share right, "つまずき" with
// its reason), read again every five seconds (LiveTimer) while the tab is on
// screen. The reading runs on a thread of its own with the source's own
// connection, one at a time; the window only puts the rows into the model,
// in place. A double click on a pupil asks for the one-pupil tab
// (pupilChosen). LiveStatus says when the class was last read, or why not.
class LiveTab : public TeacherTab {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 5000;

    // `clock` tells when the class was last read.
    LiveTab(const Clock& clock, QWidget* parent);
    ~LiveTab() override;
    QString Title() const override { return QStringLiteral("いまの ようす"); }
    void Show(const ClassView& view) override;

    // Reads `class_name` through `source` (null: none; the table empties).
    // The source is used on the reading thread only from now on.
    void UseServer(std::unique_ptr<LiveSource> source, const QString& class_name);

public slots:
    // Starts a reading unless one is running.
    void Refresh();

signals:
    void pupilChosen(const QString& name);
    // A reading's rows are in the table.
    void refreshed();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Take(sync::Fetched<LivePupil> read, int generation);

    const Clock& clock_;
    QThread thread_;
    QObject* reader_ = nullptr;  // lives on thread_: readings are queued to it
    std::shared_ptr<LiveSource> source_;
    QString class_name_;
    int generation_ = 0;  // a reading for an earlier class or source is dropped
    bool reading_ = false;
    QTimer* timer_ = nullptr;
    LiveTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace sorelka
