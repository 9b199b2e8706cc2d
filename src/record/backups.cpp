#include "record/backups.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "record/kept_copies.h"
#include "record/private_files.h"

namespace sorelka::record {

namespace {

const QString kDailyPattern = QStringLiteral("kyozai-????????.db");

qint64 ModifiedNs(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// How many answers the file open on `db`, or the copy at `path`, holds;
// -1 when it cannot be read.
int AnswersIn(QSqlDatabase& db) {
    QSqlQuery q(db);
    return q.exec(QStringLiteral("select count(*) from history")) && q.next() ? q.value(0).toInt() : -1;
}

int AnswersIn(const QString& path) {
    const std::optional<CopyContents> contents = ReadCopyContents(path);
    return contents ? contents->answers : -1;
}

// Of the copies rotation would remove, the one to keep instead: the last
// copy of a record that held more answers than the one in use (the newest
// of those with the most answers), unless a copy that stays holds as many.
QString LastCopyOfALargerRecord(QSqlDatabase& db, const QString& folder, const QStringList& going) {
    if (going.isEmpty()) return QString();
    int most_staying = AnswersIn(db);
    if (most_staying < 0) return QString();
    for (const BackupFile& copy : DailyBackups(folder))
        if (!going.contains(copy.name)) most_staying = std::max(most_staying, AnswersIn(folder + QLatin1Char('/') + copy.name));
    QString keep;
    int most_going = most_staying;
    for (const QString& name : going) {  // oldest first: the newest of equals wins
        const int answers = AnswersIn(folder + QLatin1Char('/') + name);
        if (answers > most_staying && answers >= most_going) {
            keep = name;
            most_going = answers;
        }
    }
    return keep;
}

}  // namespace

QStringList BackupsToRemove(std::vector<BackupFile> copies, const QString& just_made, int keep) {
    std::sort(copies.begin(), copies.end(), [](const BackupFile& a, const BackupFile& b) {
        return a.modified_ns != b.modified_ns ? a.modified_ns < b.modified_ns : a.name < b.name;
    });
    QStringList remove;
    auto left = static_cast<qsizetype>(copies.size());
    for (const BackupFile& copy : copies) {
        if (left <= keep) break;
        if (copy.name == just_made) continue;
        remove << copy.name;
        --left;
    }
    return remove;
}

QString DailyBackupName(const LocalTime& day) {
    return QString::asprintf("kyozai-%04d%02d%02d.db", day.year, day.month, day.day);
}

std::vector<BackupFile> DailyBackups(const QString& folder) {
    std::vector<BackupFile> copies;
    for (const QString& name : QDir(folder).entryList({kDailyPattern}, QDir::Files, QDir::Name))
        copies.push_back({name, ModifiedNs(folder + QLatin1Char('/') + name)});
    return copies;
}

QString TakeDailyBackup(QSqlDatabase& db, const QString& folder, const LocalTime& today, int keep) {
    const QString name = DailyBackupName(today);
    const QString backup = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(backup)) return QString();
    if (!MakePrivateFolder(folder)) return QStringLiteral("cannot make %1").arg(folder);
    // VACUUM INTO takes an empty file: made private before SQLite writes it.
    const QString partial = backup + QStringLiteral(".part");
    QFile::remove(partial);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("vacuum into ?"));
    q.addBindValue(partial);
    if (!MakePrivateFile(partial) || !q.exec() || !QFile::rename(partial, backup)) {
        const QString problem = q.lastError().isValid() ? q.lastError().text()
                                                        : QStringLiteral("cannot write %1").arg(partial);
        QFile::remove(partial);
        return problem;
    }
    const QStringList going = BackupsToRemove(DailyBackups(folder), name, keep);
    const QString last_of_larger = LastCopyOfALargerRecord(db, folder, going);
    for (const QString& old : going) {
        const QString copy = folder + QLatin1Char('/') + old;
        if (old != last_of_larger) {
            QFile::remove(copy);
            continue;
        }
        // The record in use holds fewer answers than this copy and no copy
        // that stays holds as many: the record was lost or replaced since.
        // The copy leaves the rotation, kept as a copy of an earlier record
        // until a teacher removes it.
        const QString aside = QStringLiteral("%1/before-%2").arg(folder, QString::asprintf("%04d%02d%02d-%02d%02d%02d",
            today.year, today.month, today.day, today.hour, today.minute, today.second));
        QString target = aside;
        for (int n = 2; QFileInfo::exists(target + QLatin1Char('/') + old); ++n) target = aside + QStringLiteral("-%1").arg(n);
        if (!MakePrivateFolder(target) || !QFile::rename(copy, target + QLatin1Char('/') + old))
            return QStringLiteral("%1 could not be kept out of the rotation; it stays").arg(copy);
    }
    return QString();
}

QString MoveBackupsAside(const QString& folder, const QString& stamp, QString* problem) {
    const std::vector<BackupFile> copies = DailyBackups(folder);
    if (copies.empty()) return QString();
    const QString base = folder + QStringLiteral("/before-") + stamp;
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n) aside = base + QStringLiteral("-%1").arg(n);
    if (!MakePrivateFolder(aside)) {
        *problem = QStringLiteral("cannot make %1").arg(aside);
        return QString();
    }
    for (const BackupFile& copy : copies)
        if (!QFile::rename(folder + QLatin1Char('/') + copy.name, aside + QLatin1Char('/') + copy.name))
            *problem = QStringLiteral("%1 could not be moved into %2").arg(copy.name, aside);
    return aside;
}

}  // namespace sorelka::record
