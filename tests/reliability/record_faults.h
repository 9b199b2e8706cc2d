#pragma once

// What goes wrong with the record file while the random pupil works, one
// fault at a time at random moments: the file removed, replaced by garbage,
// held by another connection, the disk filled (as root, on a small tmpfs of
// its own), the clock set back a year; while the file is held, the usual
// journal may be held too, so the answers kept go to a second journal.

#include <QString>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "record/pending_journal.h"
#include "support/fakes.h"

namespace sorelka {

class RecordFaults {
public:
    RecordFaults(QString database, bool full_disk, std::mt19937& rng, testing::FakeClock& clock);
    ~RecordFaults();

    // Before each event: ends a fault whose time is up, maybe starts one.
    void BeforeEvent();
    // Ends the fault that lasts (the lock let go, the disk freed).
    void End();
    // A lasting fault is on: the record keeps answers meanwhile.
    bool lasting() const { return events_left_ > 0; }
    // The file was removed or replaced and no write has noticed it yet: the
    // program's rows are then only in its open connection.
    bool file_disturbed() const { return disturbed_; }
    // A write went into the file the program has open.
    void NoteWritten() { disturbed_ = false; }
    const std::map<std::string, int>& counts() const { return counts_; }

private:
    int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    QString Filler() const;

    QString database_;
    bool full_disk_;
    std::mt19937& rng_;
    testing::FakeClock& clock_;
    QString holder_;
    bool holding_ = false;
    std::unique_ptr<record::PendingJournal> journal_;
    bool disturbed_ = false;
    int events_left_ = 0;
    std::map<std::string, int> counts_;
};

}  // namespace sorelka
