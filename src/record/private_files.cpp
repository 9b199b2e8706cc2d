#include "record/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sorelka::record {

bool MakePrivateFolder(const QString& folder) {
    const QString path = QFileInfo(folder).absoluteFilePath();
    // Each missing folder is made 0700 at once, never readable by others
    // in between.
    QStringList missing;
    for (QString at = path; !at.isEmpty() && !QFileInfo::exists(at); at = QFileInfo(at).path()) {
        missing.prepend(at);
        if (QFileInfo(at).path() == at) break;
    }
    for (const QString& dir : missing)
        if (::mkdir(QFile::encodeName(dir).constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    // A folder left open by an earlier version is narrowed, but only one of
    // this account's own: never a shared folder such as /tmp.
    if ((st.st_mode & 0077) != 0 && st.st_uid == ::geteuid() && (st.st_mode & S_ISVTX) == 0)
        ::chmod(QFile::encodeName(path).constData(), 0700);
    return true;
}

bool MakePrivateFile(const QString& file) {
    const QByteArray name = QFile::encodeName(file);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::fchmod(fd, 0600);
    ::close(fd);
    return true;
}

void KeepPrivate(const QString& file) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(file);
    if (::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0077) != 0)
        ::chmod(name.constData(), st.st_mode & 0700);
}

bool PlainFileWithin(const QString& path, const QString& folder) {
    const QString inside = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!file.startsWith(inside + QLatin1Char('/'))) return false;
    // Each step below the folder, the file last, as it stands (a link is
    // seen as a link, not as what it leads to).
    struct stat st {};
    for (qsizetype at = file.indexOf(QLatin1Char('/'), inside.size() + 1);; at = file.indexOf(QLatin1Char('/'), at + 1)) {
        const QString step = at < 0 ? file : file.left(at);
        if (::lstat(QFile::encodeName(step).constData(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
        if (at < 0) return S_ISREG(st.st_mode);
    }
}

// The program names no organisation (that would move its data folder), so
// the program's own name stands in for it.
std::unique_ptr<QSettings> ProgramSettings() {
    const QString app = QCoreApplication::applicationName();
    const QString org = QCoreApplication::organizationName();
    auto settings = std::make_unique<QSettings>(QSettings::UserScope, org.isEmpty() ? app : org, app);
    const QString file = settings->fileName();
    if (MakePrivateFolder(QFileInfo(file).absolutePath())) MakePrivateFile(file);
    return settings;
}

}  // namespace sorelka::record
