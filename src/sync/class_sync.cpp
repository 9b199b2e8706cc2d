#include "sync/class_sync.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "sync/class_read.h"
#include "sync/class_record.h"
#include "sync/pg_connection.h"
#include "sync/row_sender.h"
#include "record/schema.h"
#include "record/work_given.h"

namespace sorelka::sync {

namespace {

std::atomic<int> connection_serial{0};

}  // namespace

QStringList StatusLines(const SyncStatus& status) {
    if (!status.configured) return {QStringLiteral("学校のサーバーは設定されていません。")};
    const QString sent =
        status.last_sent.isValid()
            ? status.last_sent.toLocalTime().toString(QStringLiteral("M月d日 H:mm"))
            : QStringLiteral("まだ送っていません");
    QStringList lines{QStringLiteral("最後に送った時刻：") + sent};
    if (status.waiting >= 0) lines << QStringLiteral("送るのを待っている答え：%1件").arg(status.waiting);
    if (!status.problem.isEmpty()) lines << status.problem;
    return lines;
}

int NextRetryMs(int previous_ms, const SyncTiming& timing) {
    return previous_ms <= 0 ? timing.first_retry_ms : std::min(2 * previous_ms, timing.longest_retry_ms);
}

ClassSync::ClassSync(QString record_path, ServerConfig config, SyncTiming timing, QObject* parent)
    : QObject(parent),
      record_path_(std::move(record_path)),
      config_(std::move(config)),
      timing_(timing),
      usable_(true) {
    status_.configured = true;
    status_.server = config_.Describe();
}

ClassSync::ClassSync(QString record_path, QString server, QString problem, QObject* parent)
    : QObject(parent), record_path_(std::move(record_path)) {
    status_.configured = true;
    status_.server = std::move(server);
    status_.problem = std::move(problem);
}

ClassSync::~ClassSync() { Stop(); }

std::unique_ptr<ClassSync> ClassSync::FromSettings(const QString& record_path, const QString& system_folder) {
    ConfigReading reading = ReadServerConfig(system_folder);
    if (!reading.configured) return nullptr;
    // For the administrator: standard error and the teacher's view, never the pupil.
    if (!reading.config) {
        std::fprintf(stderr, "Sorelka: %s\n", qPrintable(reading.problem));
        return std::make_unique<ClassSync>(record_path, QString(), reading.problem);
    }
    if (!reading.warning.isEmpty()) std::fprintf(stderr, "Sorelka: %s\n", qPrintable(reading.warning));
    return std::make_unique<ClassSync>(record_path, *reading.config);
}

void ClassSync::Start() {
    if (!usable_ || worker_.joinable()) return;
    stopping_ = false;
    worker_ = std::thread([this] { Run(); });
}

void ClassSync::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        // A call under way on a server that stopped answering fails now
        // instead of when the network gives up; whatever it was sending is
        // still unconfirmed in the file and goes at the next start.
        for (const int socket : {socket_, read_socket_})
            if (socket >= 0) ::shutdown(socket, SHUT_RDWR);
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool ClassSync::stopping() const {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void ClassSync::KeepSocket(int& kept, int socket) {
    // A second descriptor of the connection's socket: shutting it down
    // reaches libpq's, and it cannot be closed and reused under Stop().
    const int duplicate = socket >= 0 ? ::fcntl(socket, F_DUPFD_CLOEXEC, 0) : -1;
    std::lock_guard lock(mutex_);
    if (kept >= 0) ::close(kept);
    kept = duplicate;
    if (stopping_ && kept >= 0) ::shutdown(kept, SHUT_RDWR);
}

bool ClassSync::Connect(PgConnection& server, QString* problem) {
    if (server.is_open()) return true;
    if (stopping()) return false;
    *problem = server.Open(config_, timing_.connect_timeout_s);
    if (!problem->isEmpty()) return false;
    KeepSocket(socket_, server.socket());
    if (stopping()) {
        server.Close();
        KeepSocket(socket_, -1);
        return false;
    }
    return true;
}

void ClassSync::Nudge() {
    {
        std::lock_guard lock(mutex_);
        nudged_ = true;
    }
    wake_.notify_all();
}

void ClassSync::RequestClassHistory() {
    if (!usable_) {
        ClassHistory none;
        none.problem = status().problem;
        QMetaObject::invokeMethod(this, [this, none] { emit classHistory(none); }, Qt::QueuedConnection);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        fetch_requested_ = true;
    }
    wake_.notify_all();
}

SyncStatus ClassSync::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

bool ClassSync::WaitUntilSent(int timeout_ms) {
    std::unique_lock lock(mutex_);
    const quint64 after = rounds_begun_;
    nudged_ = true;
    wake_.notify_all();
    return round_done_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                [&] { return last_clean_round_ > after; });
}

void ClassSync::Publish(const SyncStatus& status) {
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        changed = status.last_sent != status_.last_sent || status.waiting != status_.waiting ||
                  status.problem != status_.problem;
        status_ = status;
    }
    if (changed) QMetaObject::invokeMethod(this, [this] { emit statusChanged(); }, Qt::QueuedConnection);
}

void ClassSync::FetchClass() {
    ClassHistory history = ReadClass(config_, timing_.connect_timeout_s,
                                     [this](int socket) { KeepSocket(read_socket_, socket); });
    // The copy is made here, so the teacher's window only opens it.
    ClassRecord::Pack(history);
    QMetaObject::invokeMethod(
        this, [this, history = std::move(history)] { emit classHistory(history); }, Qt::QueuedConnection);
}

ClassSync::Round ClassSync::SendRound(PgConnection& server, QString& claimed, SyncStatus& status) {
    if (!QFileInfo::exists(record_path_)) {
        status.waiting = 0;
        return {.nothing_left = true};
    }
    const QString local_name = QStringLiteral("sorelka-sync-local-%1").arg(++connection_serial);
    Round round;
    {
        QSqlDatabase local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), local_name);
        // mode=rw: never make the file; the program makes it with its first write.
        local.setDatabaseName(QUrl::fromLocalFile(record_path_).toString(QUrl::FullyEncoded) +
                              QStringLiteral("?mode=rw"));
        local.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"));
        if (!local.open()) {
            round = {.ok = false, .problem = QStringLiteral("記録のファイルを開けません: ") + local.lastError().text()};
        } else {
            QSqlQuery(local).exec(QStringLiteral("pragma synchronous=normal"));
            RowSender sender(local, server, timing_.batch_rows, claimed);
            QString problem;
            if (sender.Prepare(&problem)) {
                status.waiting = sender.Waiting();
                Outcome outcome;
                if (Connect(server, &problem)) {
                    if (!server_work_) {
                        // Asked once per connection: an older server keeps no work.
                        if (std::optional<ServerWork> work = AskServerWork(server, &problem)) {
                            server_work_ = *work;
                        } else {
                            server.Close();
                            outcome = Outcome::Failed(QStringLiteral("サーバーに送れません: ") + problem);
                        }
                    }
                    if (server_work_) {
                        sender.SendWorkColumns(server_work_->history_columns);
                        const QString sent_before = sender.last_sent();
                        outcome = sender.SendRound();
                        if (sender.last_sent() != sent_before) heard_at_ = std::chrono::steady_clock::now();
                        // The answers first; the work and the presence once none wait.
                        if (outcome.ok && !outcome.more && server.is_open() && server_work_->tables)
                            outcome = ExchangeWork(server, sender, local);
                    }
                    status.waiting = sender.Waiting();
                } else {
                    outcome = Outcome::Failed(problem);
                }
                if (!sender.last_sent().isEmpty())
                    status.last_sent = QDateTime::fromString(sender.last_sent(), Qt::ISODateWithMs);
                round = {.ok = outcome.ok, .nothing_left = outcome.ok && !outcome.more, .more = outcome.more,
                         .problem = outcome.problem};
            } else if (!problem.isEmpty()) {
                round = {.ok = false, .problem = problem};
            } else {
                round.nothing_left = true;  // not upgraded yet: nothing of it to send
            }
        }
        local = QSqlDatabase();
    }
    QSqlDatabase::removeDatabase(local_name);
    return round;
}

void ClassSync::SetPresence(Presence presence) {
    {
        std::lock_guard lock(mutex_);
        if (presence_ == presence) return;
        presence_ = std::move(presence);
        presence_changed_ = true;
        nudged_ = true;
    }
    wake_.notify_all();
}

Outcome ClassSync::ExchangeWork(PgConnection& server, RowSender& sender, QSqlDatabase& local) {
    // A table gone or this role may not read: on without work (false).
    // Anything else is the connection's failure (true).
    auto connection_failed = [&](const QString& sqlstate) {
        if (MissingOnServer(sqlstate) || sqlstate == QStringLiteral("42501")) {
            server_work_->tables = false;
            return false;
        }
        return true;
    };
    QString problem, sqlstate;
    const auto now = std::chrono::steady_clock::now();
    std::optional<Presence> presence;
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        presence = presence_;
        changed = presence_changed_;
    }
    const bool notified = server.Notified(QLatin1String(kWorkChannel), &problem);
    if (!server.is_open()) return Outcome::Failed(QStringLiteral("サーバーに送れません: ") + problem);
    const std::optional<qint64> pupil = presence ? presence->pupil_id : std::nullopt;
    if (!work_fetched_ || notified || pupil != work_pupil_ ||
        now - work_at_ >= std::chrono::milliseconds(timing_.work_every_ms)) {
        const std::optional<std::vector<record::WorkPiece>> pieces =
            FetchWork(server, sender.pc_id(), &problem, &sqlstate);
        if (!pieces) {
            if (!connection_failed(sqlstate)) return Outcome::Done();
            server.Close();
            return Outcome::Failed(QStringLiteral("サーバーに送れません: ") + problem);
        }
        work_fetched_ = true;
        work_at_ = now;
        work_pupil_ = pupil;
        // The file keeps the last list; it is written only when it changed.
        if (sender.layout_version() >= record::kWorkPupilsVersion && *pieces != record::ReadWorkGiven(local)) {
            if (!record::ReplaceWorkGiven(local, *pieces, QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
                                          &problem))
                return Outcome::Failed(QStringLiteral("記録のファイルを読み書きできません: ") + problem);
            QMetaObject::invokeMethod(this, [this] { emit workChanged(); }, Qt::QueuedConnection);
        }
    }

    const bool due = !presence_written_ || now - std::max(presence_at_, heard_at_) >=
                                               std::chrono::milliseconds(timing_.presence_every_ms);
    if (!presence || (!changed && !due)) return Outcome::Done();
    // A pc_id another role holds is the next look's to resolve (a fresh id).
    if (Outcome claimed = sender.EnsureClaimed(); !claimed.ok || claimed.clash)
        return claimed.ok ? Outcome::Done() : claimed;
    if (!SendPresence(server, sender.pc_id(), *presence, &problem, &sqlstate)) {
        if (!connection_failed(sqlstate)) return Outcome::Done();
        server.Close();
        return Outcome::Failed(QStringLiteral("サーバーに送れません: ") + problem);
    }
    presence_written_ = true;
    presence_at_ = heard_at_ = now;
    std::lock_guard lock(mutex_);
    if (presence_ == presence) presence_changed_ = false;
    return Outcome::Done();
}

void ClassSync::Run() {
    PgConnection server;
    QString claimed;  // the pc_id the open connection's role is known to own
    int retry_ms = 0;
    QString told;  // the problem last written to standard error
    for (;;) {
        bool fetch = false;
        quint64 number = 0;
        SyncStatus status;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) break;
            fetch = fetch_requested_;
            fetch_requested_ = false;
            nudged_ = false;
            number = ++rounds_begun_;
            status = status_;
        }
        if (fetch) FetchClass();

        const Round round = SendRound(server, claimed, status);
        if (!server.is_open()) {
            KeepSocket(socket_, -1);
            claimed.clear();  // asked again on the next connection
            server_work_.reset();
            presence_written_ = false;
            work_fetched_ = false;
        }
        // A call Stop() cut short is no problem to tell.
        status.problem = stopping() ? told : round.problem;
        if (status.problem != told) {
            if (!status.problem.isEmpty()) std::fprintf(stderr, "Sorelka: %s\n", qPrintable(status.problem));
            told = status.problem;
        }
        Publish(status);

        std::unique_lock lock(mutex_);
        if (round.nothing_left) {
            last_clean_round_ = number;
            round_done_.notify_all();
        }
        retry_ms = round.ok ? 0 : NextRetryMs(retry_ms, timing_);
        const int wait_ms = !round.ok ? retry_ms : round.more ? 0 : timing_.idle_ms;
        // After a failure only a stop or the teacher's request cuts the
        // wait short: new answers must not hammer an absent server.
        wake_.wait_for(lock, std::chrono::milliseconds(wait_ms), [&] {
            return stopping_ || fetch_requested_ || (round.ok && nudged_);
        });
    }
    server.Close();
    KeepSocket(socket_, -1);
}

}  // namespace sorelka::sync
