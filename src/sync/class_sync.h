#pragma once

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <optional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "record/learning_record.h"
#include "sync/server_config.h"
#include "sync/work_sync.h"

namespace sorelka::sync {

// What the teacher's view shows about sending the record.
struct SyncStatus {
    bool configured = false;  // a server is set in Sorelka.conf
    QString server;           // "user@host:port/database"; empty when none
    QDateTime last_sent;      // when the server last confirmed rows; invalid before that
    qint64 waiting = -1;      // answers the server has not confirmed yet; -1 until counted
    QString problem;          // for the administrator, in Japanese; empty while all is well
};

// "最後に送った時刻：12月9日 13:05" and how many answers wait, as the
// teacher's view shows them.
QStringList StatusLines(const SyncStatus& status);

// One judged problem of any PC of the class, as the server holds it.
struct ClassAnswer {
    QString pc_id;
    record::HistoryRow row;  // row.pupil is the pupil's name, the same on every PC
};

// One pupil of one PC's roster as the server holds it; the same name on two
// PCs is the same pupil.
struct ClassPupil {
    QString pc_id;
    qint64 id = 0;  // the PC's own id of the pupil
    QString name;
    QString reading;
    bool archived = false;
    QString created_at;
};

// One drill of one PC; drill.id and drill.pupil_id are the PC's own.
struct ClassDrill {
    QString pc_id;
    record::DrillRecord drill;
};

// The class as the server holds it: every PC's pupils, drills and answers,
// read in one snapshot (answers in the order they were given).
struct ClassHistory {
    bool from_server = false;
    bool reached = false;  // the server took the login (the reading may still have failed)
    QString problem;       // why the server could not be read; empty when it was
    std::vector<ClassPupil> pupils;
    std::vector<ClassDrill> drills;
    std::vector<ClassAnswer> answers;
    // The rows above already copied into a record (ClassRecord::Pack, on the
    // worker): SQLite's image of that database, the rows themselves left out.
    QByteArray record;
    int pcs = 0;  // PCs with any row on the server
};

// How often the worker looks and how long it waits after a failure.
struct SyncTiming {
    int idle_ms = 2000;            // between looks while everything is sent
    int first_retry_ms = 1000;     // after the first failure; doubled after each next one
    int longest_retry_ms = 180000;
    int batch_rows = 500;          // rows of one table per server transaction
    // libpq's least; Stop() waits at most this long for a connection being made.
    int connect_timeout_s = 2;
    // This PC's presence row is written again when neither it nor an answer
    // went to the server for this long (an arriving answer tells the live
    // view as much as a signal, and a signal costs the server as much as an
    // answer): so a class answering steadily sends almost no signals.
    int presence_every_ms = 20000;
    // The work given to this PC's pupils is read at once on each new
    // connection, when the server notifies a change, when another pupil
    // sits down (their answers on other PCs), and otherwise this often.
    int work_every_ms = 30 * 60 * 1000;
};

// The wait before the next try after a failure, `previous_ms` the wait
// before it (0 after a success): the first retry, then doubled, at most the
// longest.
int NextRetryMs(int previous_ms, const SyncTiming& timing);

class PgConnection;
class RowSender;
struct Outcome;

// Sends the record file's new rows of pupils, drills and history to the
// school's server, on a thread of its own with its own connections to the
// file and to the server; the user-interface thread never waits for it.
//
// Every row goes with (pc_id, id) as its key, and the server keeps a row it
// already holds as it is (a drill's figures and end time are brought up to
// date), so a batch cut off anywhere is simply sent again. A row the server
// already holds under that key is read back: when it is another file's (this
// file was copied, or put back from a backup), the file takes a fresh pc_id
// and sends what the server does not hold as its own under it. The file
// records what the server confirmed (sync_confirmed, sync_drills_sent) after
// each server transaction. The server binds the file's pc_id to this PC's
// role; every value goes as a bound parameter, and a row the server refuses
// for its values is set aside (one line on standard error) while the rest
// goes on. A server that cannot be reached, refuses the login or
// goes away mid-batch is tried again after 1, 2, 4 … s, at most a few
// minutes apart; nothing is ever shown to the pupil, the problem goes to
// standard error once and into status().
class ClassSync : public QObject {
    Q_OBJECT
public:
    ClassSync(QString record_path, ServerConfig config, SyncTiming timing = {},
              QObject* parent = nullptr);
    // A server configured but unusable (`problem` says why): nothing is sent.
    ClassSync(QString record_path, QString server, QString problem, QObject* parent = nullptr);
    ~ClassSync() override;

    // From the program's Sorelka.conf (the system's in `system_folder`, see
    // ReadServerConfig); nullptr when no server is configured (nothing else
    // is done then).
    static std::unique_ptr<ClassSync> FromSettings(const QString& record_path, const QString& system_folder);

    // Starts the worker (nothing happens for an unusable configuration).
    void Start();
    // Stops the worker: a server call under way is cut short, a connection
    // being made is waited for (connect_timeout_s at most).
    void Stop();
    // New rows were committed: look now rather than at the next idle look.
    void Nudge();

    // Thread-safe.
    SyncStatus status() const;
    // The server it sends to (host, TLS, the PC's role); null when the
    // configuration is unusable.
    const ServerConfig* config() const { return config_.host.isEmpty() ? nullptr : &config_; }

    // Asks the worker for what this PC's role reads back from the server
    // (its own rows); classHistory() brings
    // it (on the thread this object lives on) already copied into a record
    // image (ClassRecord::Pack), so the receiver only opens it.
    void RequestClassHistory();

    // The screen this PC shows now; the worker writes it to the server when
    // it changed, and again after presence_every_ms without a signal or an
    // answer sent, after the answers.
    // Thread-safe, never waits for the server.
    void SetPresence(Presence presence);

    // For tests and tools: waits until a look that began after this call
    // found nothing left to send. False on time-out.
    bool WaitUntilSent(int timeout_ms);

signals:
    // status() changed (emitted on the thread this object lives on).
    void statusChanged();
    void classHistory(const sorelka::sync::ClassHistory& history);
    // The file's work_given was replaced by a list that differs from the last.
    void workChanged();

private:
    // What one look at the file came to.
    struct Round {
        bool ok = true;
        bool nothing_left = false;  // everything is sent
        bool more = false;          // a batch was full: look again at once
        QString problem;
    };

    void Run();
    // Reads the class for the teacher's view and emits it.
    void FetchClass();
    // One look at the file: sends what it holds; `status` gets the counts.
    // `claimed`: the pc_id the open connection's role is known to own.
    Round SendRound(PgConnection& server, QString& claimed, SyncStatus& status);
    // Opens the worker's server connection (false when stopping) and keeps
    // socket_ for it.
    bool Connect(PgConnection& server, QString* problem);
    // Keeps `socket` (a duplicate of it) for Stop(); -1 forgets it.
    void KeepSocket(int& kept, int socket);
    bool stopping() const;
    void Publish(const SyncStatus& status);
    // After the answers: the work the teacher gave into the file, this PC's
    // presence to the server. A failure of the connection closes it.
    Outcome ExchangeWork(PgConnection& server, RowSender& sender, QSqlDatabase& local);

    QString record_path_;
    ServerConfig config_;
    SyncTiming timing_;
    bool usable_ = false;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable round_done_;
    bool stopping_ = false;
    bool nudged_ = false;
    bool fetch_requested_ = false;
    quint64 rounds_begun_ = 0;
    quint64 last_clean_round_ = 0;  // the latest round that ended with nothing left
    SyncStatus status_;
    // Duplicates of the open server connections' sockets, for Stop(): the
    // sending one and the one reading the class.
    int socket_ = -1;
    int read_socket_ = -1;
    // The screen shown now (set from the user-interface thread) and whether
    // it changed since the worker last wrote it.
    std::optional<Presence> presence_;
    bool presence_changed_ = false;
    // The worker's own: what the connected server keeps of the work (none
    // until asked on a connection), when the presence was last written.
    std::optional<ServerWork> server_work_;
    std::chrono::steady_clock::time_point presence_at_{};
    bool presence_written_ = false;
    // When the server last heard from this PC (a signal or answers) and last
    // gave it the work.
    std::chrono::steady_clock::time_point heard_at_{};
    std::chrono::steady_clock::time_point work_at_{};
    bool work_fetched_ = false;
    std::optional<qint64> work_pupil_;  // the pupil at this PC when the work was last read
    std::thread worker_;
};

// Reads every PC's answers from the server (blocking; ClassSync runs it on
// its worker thread).
ClassHistory ReadClassHistory(const ServerConfig& config, int connect_timeout_s = 5);

}  // namespace sorelka::sync

Q_DECLARE_METATYPE(sorelka::sync::ClassHistory)
