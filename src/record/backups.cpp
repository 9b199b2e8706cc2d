#include "record/backups.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "record/private_files.h"

namespace sorelka::record {

namespace {

const QString kDailyPattern = QStringLiteral("kyozai-????????.db");

qint64 ModifiedNs(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
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
    for (const QString& old : BackupsToRemove(DailyBackups(folder), name, keep))
        QFile::remove(folder + QLatin1Char('/') + old);
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
