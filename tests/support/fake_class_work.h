#pragma once

// The school's server as the teacher's "かだい" and "いまの ようす" tabs reach
// it, kept in memory: pieces made, changed and withdrawn as the server's
// functions would, progress and the class now as a test sets them.

#include <QMutex>
#include <QMutexLocker>
#include <atomic>
#include <memory>

#include "app/teacher/work_source.h"

namespace sorelka::testing {

class FakeWorkSource final : public WorkSource {
public:
    sync::MadeWork Make(const QString& class_name, const WorkPiece& piece) override {
        if (!refusal.isEmpty()) return {0, refusal};
        WorkPiece made = piece;
        made.id = next_id++;
        pieces.insert(pieces.begin(), made);  // newest first
        made_for = class_name;
        return {made.id, {}};
    }
    QString Change(const WorkPiece& piece) override {
        if (!refusal.isEmpty()) return refusal;
        for (WorkPiece& p : pieces)
            if (p.id == piece.id) p = piece;
        return {};
    }
    QString Withdraw(qint64 id) override {
        if (!refusal.isEmpty()) return refusal;
        for (WorkPiece& p : pieces)
            if (p.id == id) p.withdrawn_at = QDateTime::currentDateTimeUtc();
        return {};
    }
    sync::Fetched<WorkPiece> List(const QString&) override {
        if (!list_problem.isEmpty()) return {{}, list_problem};
        return {pieces, {}};
    }
    sync::Fetched<WorkProgressRow> Progress(const QString&) override { return {progress, {}}; }

    QString refusal;       // every change refused with this reason
    QString list_problem;  // the list refused with this reason
    qint64 next_id = 1;
    QString made_for;
    std::vector<WorkPiece> pieces;
    std::vector<WorkProgressRow> progress;
};

// The class now, as a test sets it; read on the tab's reading thread.
struct LiveScript {
    QMutex mutex;
    std::vector<LivePupil> rows;
    QString problem;
    std::atomic<int> readings{0};

    void Set(std::vector<LivePupil> now) {
        QMutexLocker lock(&mutex);
        rows = std::move(now);
    }
};

class FakeLiveSource final : public LiveSource {
public:
    explicit FakeLiveSource(std::shared_ptr<LiveScript> script) : script_(std::move(script)) {}
    sync::Fetched<LivePupil> Live(const QString&) override {
        QMutexLocker lock(&script_->mutex);
        ++script_->readings;
        if (!script_->problem.isEmpty()) return {{}, script_->problem};
        return {script_->rows, {}};
    }

private:
    std::shared_ptr<LiveScript> script_;
};

}  // namespace sorelka::testing
