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
    QString Make(const QString& class_name, const WorkPiece& piece, qint64* id) override {
        if (!refusal.isEmpty()) return refusal;
        WorkPiece made = piece;
        made.id = *id = next_id++;
        pieces.insert(pieces.begin(), made);  // newest first
        made_for = class_name;
        return {};
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
            if (p.id == id) p.withdrawn = true;
        return {};
    }
    std::vector<WorkPiece> List(const QString&, QString* problem) override {
        *problem = list_problem;
        return list_problem.isEmpty() ? pieces : std::vector<WorkPiece>{};
    }
    std::vector<WorkProgressRow> Progress(const QString&, QString* problem) override {
        problem->clear();
        return progress;
    }

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
    std::vector<LiveRow> rows;
    QString problem;
    std::atomic<int> readings{0};

    void Set(std::vector<LiveRow> now) {
        QMutexLocker lock(&mutex);
        rows = std::move(now);
    }
};

class FakeLiveSource final : public LiveSource {
public:
    explicit FakeLiveSource(std::shared_ptr<LiveScript> script) : script_(std::move(script)) {}
    std::vector<LiveRow> Live(const QString&, QString* problem) override {
        QMutexLocker lock(&script_->mutex);
        ++script_->readings;
        *problem = script_->problem;
        return script_->rows;
    }

private:
    std::shared_ptr<LiveScript> script_;
};

}  // namespace sorelka::testing
