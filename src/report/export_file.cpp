#include "report/export_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "report/mastery_report.h"

namespace sorelka::report {

namespace {

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The target as it stands in its folder, the link itself when it is one.
// Empty when nothing is there; "link", "file" or "other" otherwise.
QString KindAt(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return {};
    if (S_ISLNK(st.st_mode)) return QStringLiteral("link");
    return S_ISREG(st.st_mode) ? QStringLiteral("file") : QStringLiteral("other");
}

// The folder of `path` with every link in it resolved; empty when it does
// not exist.
QString RealFolder(const QString& path) { return QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath(); }

// `name` is the record's own file or one SQLite or this program keeps beside
// it: kyozai.db, kyozai.db-wal, kyozai.db.pending.1, kyozai.db.broken-…
bool RecordsOwnName(const QString& name, const QString& record_name) {
    return name == record_name || name.startsWith(record_name + QLatin1Char('-')) ||
           name.startsWith(record_name + QLatin1Char('.'));
}

}  // namespace

QString ExportTargetProblem(const QString& target, const QString& record_path) {
    const QString kind = KindAt(target);
    if (kind == QLatin1String("link"))
        return QStringLiteral("「%1」は ほかの ファイルへの リンクなので、書き出しません。べつの 名前に してください。")
            .arg(Shown(target));
    if (kind == QLatin1String("other"))
        return QStringLiteral("「%1」は ふつうの ファイルでは ないので、書き出しません。").arg(Shown(target));
    if (record_path.isEmpty()) return {};
    const QString folder = RealFolder(target);
    const QString name = QFileInfo(target).fileName();
    // The record as named, and the file a link named so leads to.
    QStringList records{record_path};
    const QString resolved = QFileInfo(record_path).canonicalFilePath();
    if (!resolved.isEmpty()) records << resolved;
    for (const QString& record : records) {
        if (!folder.isEmpty() && folder == RealFolder(record) && RecordsOwnName(name, QFileInfo(record).fileName()))
            return QStringLiteral("「%1」は 学習の記録の ファイルなので、書き出しません。べつの 名前に してください。")
                .arg(Shown(target));
    }
    return {};
}

QString ExportTargetsProblem(const QString& target, bool answers_csv, const QString& record_path) {
    QString problem = ExportTargetProblem(target, record_path);
    if (problem.isEmpty() && answers_csv) problem = ExportTargetProblem(LevelsCsvPath(target), record_path);
    return problem;
}

ExportFile::ExportFile(const QString& path) : path_(path) {}

ExportFile::~ExportFile() = default;  // an uncommitted temporary file is removed

QString ExportFile::Unwritable(const QString& why) const {
    return why.isEmpty() ? QStringLiteral("「%1」に書きこめません").arg(path_)
                         : QStringLiteral("「%1」に書きこめません（%2）").arg(path_, why);
}

bool ExportFile::Open(QString* error) {
    const QString problem = ExportTargetProblem(path_, QString());
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    const QFileInfo target(path_);
    if (target.fileName().isEmpty()) {
        *error = Unwritable(QStringLiteral("ファイルの名前が ありません"));
        return false;
    }
    // Hidden beside the target, so the rename stays within one file system.
    temp_.setFileTemplate(target.absoluteDir().filePath(QLatin1Char('.') + target.fileName() +
                                                        QStringLiteral(".XXXXXX")));
    temp_.setAutoRemove(true);
    if (!temp_.open()) {
        *error = Unwritable(temp_.errorString());
        return false;
    }
    // QTemporaryFile makes its file 0600; said again so no umask or later
    // change of that default can open it to other accounts.
    ::fchmod(temp_.handle(), 0600);
    return true;
}

bool ExportFile::Commit(QString* error) {
    if (!temp_.isOpen()) {
        *error = Unwritable(QString());
        return false;
    }
    if (temp_.error() != QFileDevice::NoError || !temp_.flush() || ::fsync(temp_.handle()) != 0) {
        *error = Unwritable(temp_.errorString());
        return false;
    }
    // rename() replaces whatever has the name now, a link included, and
    // never writes through it.
    const QString written = temp_.fileName();
    if (::rename(QFile::encodeName(written).constData(), QFile::encodeName(path_).constData()) != 0) {
        *error = Unwritable(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    temp_.setAutoRemove(false);
    temp_.close();
    return true;
}

}  // namespace sorelka::report
