// The copies of the record a teacher may put back, and putting one back.
#include "record/kept_copies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

#include "record/backups.h"
#include "record/file_check.h"
#include "record/private_files.h"
#include "record/read_only_record.h"
#include "record/record_detail.h"
#include "record/record_store.h"
#include "record/schema.h"

namespace sorelka::record {

namespace {

QDateTime StampTime(const QString& day, const QString& time = QStringLiteral("000000")) {
    return QDateTime::fromString(day + time, QStringLiteral("yyyyMMddHHmmss"));
}

KeptCopy CopyAt(KeptCopy::Kind kind, const QFileInfo& file, const QString& why, const QDateTime& when) {
    return {kind, file.absoluteFilePath(), why, when, file.lastModified(), file.size()};
}

void Backups(const QString& folder, KeptCopy::Kind kind, const QString& why, std::vector<KeptCopy>& out) {
    static const QRegularExpression daily(QStringLiteral("^kyozai-(\\d{8})\\.db$"));
    std::vector<KeptCopy> found;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
        const auto m = daily.match(file.fileName());
        if (m.hasMatch()) found.push_back(CopyAt(kind, file, why, StampTime(m.captured(1))));
    }
    std::sort(found.begin(), found.end(),
              [](const KeptCopy& a, const KeptCopy& b) { return a.modified > b.modified; });
    out.insert(out.end(), found.begin(), found.end());
}

QString Day(const QDateTime& t) { return t.toString(QStringLiteral("yyyy/MM/dd")); }
QString Minute(const QDateTime& t) { return t.toString(QStringLiteral("yyyy/MM/dd HH:mm")); }

}  // namespace

std::vector<KeptCopy> ListKeptCopies(const QString& record_path) {
    const QFileInfo record(record_path);
    std::vector<KeptCopy> copies;
    // kyozai.db.<why>-YYYYMMDD-HHMMSS[-n]: a record file moved aside whole.
    const QRegularExpression aside(QStringLiteral("^%1\\.([a-z-]+)-(\\d{8})-(\\d{6})(-\\d+)?$")
                                       .arg(QRegularExpression::escape(record.fileName())));
    for (const QFileInfo& file : QDir(record.absolutePath()).entryInfoList(QDir::Files)) {
        const auto m = aside.match(file.fileName());
        if (m.hasMatch() && m.captured(1) != QLatin1String("pending-damaged"))
            copies.push_back(CopyAt(KeptCopy::Kind::SetAside, file, m.captured(1),
                                    StampTime(m.captured(2), m.captured(3))));
    }
    std::sort(copies.begin(), copies.end(), [](const KeptCopy& a, const KeptCopy& b) {
        return a.when != b.when ? a.when > b.when : a.path > b.path;
    });
    const QString backups = record.absolutePath() + QStringLiteral("/backups");
    Backups(backups, KeptCopy::Kind::Backup, QString(), copies);
    static const QRegularExpression earlier(QStringLiteral("^before-((\\d{8})-(\\d{6}))(-\\d+)?$"));
    QStringList folders = QDir(backups).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::reverse(folders.begin(), folders.end());
    for (const QString& folder : folders)
        if (const auto m = earlier.match(folder); m.hasMatch())
            Backups(backups + QLatin1Char('/') + folder, KeptCopy::Kind::EarlierBackup, m.captured(1), copies);
    // Only regular files inside the record's folders: a link among them (to
    // a file or a folder) could lead a removal or a put-back out of them.
    std::erase_if(copies, [&](const KeptCopy& copy) {
        return !PlainFileWithin(copy.path, copy.kind == KeptCopy::Kind::SetAside ? record.absolutePath() : backups);
    });
    return copies;
}

QString DescribeKeptCopy(const KeptCopy& copy) {
    switch (copy.kind) {
        case KeptCopy::Kind::SetAside: {
            const QString what = copy.why == QLatin1String("broken")           ? QStringLiteral("こわれていたため よけたファイル")
                                 : copy.why == QLatin1String("before-restore") ? QStringLiteral("もどす前に つかっていた記録")
                                 : copy.why == QLatin1String("rebuilt")        ? QStringLiteral("作りなおしの とちゅうの記録")
                                                                               : QStringLiteral("よけたファイル");
            return QStringLiteral("%1（%2）").arg(what, Minute(copy.when));
        }
        case KeptCopy::Kind::Backup:
            return QStringLiteral("毎日のバックアップ（%1）").arg(Day(copy.when));
        case KeptCopy::Kind::EarlierBackup: {
            const QDateTime set_aside = StampTime(copy.why.left(8), copy.why.mid(9, 6));
            return QStringLiteral("前の記録のバックアップ（%1、%2 に よけた記録）").arg(Day(copy.when), Minute(set_aside));
        }
    }
    return QString();
}

std::optional<CopyContents> ReadCopyContents(const QString& path) {
    const ReadOnlyRecord copy(path, 500);
    if (!copy.ok()) return std::nullopt;
    QSqlQuery q(copy.database());
    if (!q.exec(QStringLiteral("select (select count(*) from pupils), (select count(*) from history)")) || !q.next())
        return std::nullopt;
    return CopyContents{q.value(0).toInt(), q.value(1).toInt()};
}

RemoveResult RemoveKeptCopy(const QString& record_path, const QString& copy_path) {
    RemoveResult result;
    const QString name = QFileInfo(copy_path).fileName();
    const std::vector<KeptCopy> copies = ListKeptCopies(record_path);
    const auto copy = std::find_if(copies.begin(), copies.end(), [&](const KeptCopy& c) {
        return c.path == QFileInfo(copy_path).absoluteFilePath();
    });
    if (copy == copies.end()) {
        result.message = QStringLiteral("「%1」が 見つかりません。").arg(name);
        return result;
    }
    if (copy->kind == KeptCopy::Kind::Backup) {
        result.message = QStringLiteral("いまの記録の 毎日のバックアップは、新しいものと 自動で 入れかわるので、けせません。");
        return result;
    }
    QFile file(copy->path);
    if (!file.remove()) {
        result.detail = file.errorString();
        result.message = QStringLiteral("「%1」を けせませんでした。").arg(name);
        return result;
    }
    result.removed = true;
    if (copy->kind == KeptCopy::Kind::SetAside) {
        for (const char* side : {"-wal", "-shm"}) QFile::remove(copy->path + QLatin1String(side));
    } else {
        // rmdir removes only an empty folder: the other copies of that record stay.
        QDir().rmdir(QFileInfo(copy->path).absolutePath());
    }
    result.message = QStringLiteral("「%1」を けしました。").arg(DescribeKeptCopy(*copy));
    return result;
}

RestoreResult RecordStore::Restore(const QString& copy) {
    RestoreResult result;
    const QFileInfo from(copy);
    const QString name = from.fileName();
    if (!from.isFile() || from.absoluteFilePath() == QFileInfo(path_).absoluteFilePath()) {
        result.outcome = RestoreResult::Outcome::NotFound;
        result.message = QStringLiteral("「%1」が 見つかりません。").arg(name);
        return result;
    }
    // The copy is checked and copied whole beside the record before the
    // file in use is touched: VACUUM INTO takes in its -wal too.
    const QString restoring = path_ + QStringLiteral(".restoring");
    QFile::remove(restoring);
    const QString connection = NewConnectionName(QStringLiteral("kyozai-restore"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(from.absoluteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        QString check;
        if (!db.open() || QuickCheck(db, &check) != CheckVerdict::Sound ||
            LayoutVersionFromTables(db) < kLearningRecordTablesVersion) {
            result.outcome = RestoreResult::Outcome::NotARecord;
            result.detail = check.isEmpty() ? db.lastError().text() : check;
        } else {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("vacuum into ?"));
            q.addBindValue(restoring);
            if (!MakePrivateFile(restoring) || !q.exec()) {
                result.outcome = RestoreResult::Outcome::NotCopied;
                result.detail = q.lastError().text();
            } else {
                result.outcome = RestoreResult::Outcome::Restored;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (result.outcome == RestoreResult::Outcome::NotARecord) {
        result.message = QStringLiteral("「%1」は こわれているか、Sorelka の記録では ないので、もどせません。").arg(name);
        return result;
    }
    if (result.outcome == RestoreResult::Outcome::NotCopied) {
        QFile::remove(restoring);
        result.message = QStringLiteral("「%1」を 写せなかったので、記録は もとのままです。").arg(name);
        return result;
    }

    // The file in use is set aside, never overwritten, and its daily copies
    // go with it.
    DropCheck();
    emit aboutToReopen();
    CloseConnection();
    QString stamp = Stamp();
    if (QFileInfo::exists(path_)) {
        result.set_aside_as = SetAsideWhatIsAtPath(QStringLiteral("before-restore"), &stamp);
        if (result.set_aside_as.isEmpty()) {
            QFile::remove(restoring);
            OpenFile(true);
            result.outcome = RestoreResult::Outcome::CurrentNotMoved;
            result.detail = QStringLiteral("%1 cannot be renamed").arg(path_);
            result.message = QStringLiteral("いまの記録のファイルを よけられなかったので、記録は もとのままです。");
            return result;
        }
    }
    if (!QFile::rename(restoring, path_)) {
        QFile::remove(restoring);
        // The file in use goes back where it was.
        if (!result.set_aside_as.isEmpty() && QFile::rename(result.set_aside_as, path_)) {
            for (const char* side : {"-wal", "-shm"})
                QFile::rename(result.set_aside_as + QLatin1String(side), path_ + QLatin1String(side));
            set_aside_.removeAll(result.set_aside_as);
            result.set_aside_as.clear();
        }
        OpenFile(true);
        result.outcome = RestoreResult::Outcome::NotCopied;
        result.detail = QStringLiteral("%1 cannot be renamed to %2").arg(restoring, path_);
        result.message = QStringLiteral("「%1」を 記録のファイルの場所に おけなかったので、記録は もとのままです。").arg(name);
        return result;
    }
    QString problem;
    MoveBackupsAside(BackupFolder(), stamp, &problem);
    if (!problem.isEmpty()) Detail(problem);
    Detail(QStringLiteral("%1 restored from %2; the file in use was set aside as %3")
               .arg(path_, from.absoluteFilePath(), result.set_aside_as));
    OpenFile(true);
    Flush();
    result.message = result.set_aside_as.isEmpty()
                         ? QStringLiteral("「%1」から 記録を もどしました。").arg(name)
                         : QStringLiteral("「%1」から 記録を もどしました。それまでの 記録のファイルは 「%2」 に のこしてあります。")
                               .arg(name, QDir::toNativeSeparators(result.set_aside_as));
    return result;
}

}  // namespace sorelka::record
