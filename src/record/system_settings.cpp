#include "record/system_settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef SORELKA_SYSTEM_CONFIG_DIR
#define SORELKA_SYSTEM_CONFIG_DIR "/etc/xdg"
#endif

namespace sorelka::record {

QString SystemConfigFolder() { return QStringLiteral(SORELKA_SYSTEM_CONFIG_DIR); }

QString WritableByOthers(const QString& path) {
    // The path as it really is: a link is judged by what it leads to, and
    // the folders above that.
    QString at = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(at) && QFileInfo(at).path() != at) at = QFileInfo(at).path();
    const QString real = QFileInfo(at).canonicalFilePath();
    if (real.isEmpty()) return QStringLiteral("%1 を確かめられません。").arg(at);
    for (QString step = real;; step = QFileInfo(step).path()) {
        struct stat st {};
        if (::stat(QFile::encodeName(step).constData(), &st) != 0)
            return QStringLiteral("%1 を確かめられません。").arg(step);
        if (st.st_uid != 0) return QStringLiteral("%1 の持ち主が root ではありません。").arg(step);
        if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            return QStringLiteral("%1 は root のほかにも書きこめます。").arg(step);
        if (step == QStringLiteral("/")) return QString();
    }
}

SystemSettingsFile OpenSystemSettings(const QString& folder, OwnerCheck check) {
    SystemSettingsFile file;
    const QString path = QDir(folder).filePath(QStringLiteral("Sorelka/Sorelka.conf"));
    file.settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    if (check == OwnerCheck::Always || (check == OwnerCheck::UnlessRoot && ::geteuid() != 0)) {
        if (const QString why = WritableByOthers(path); !why.isEmpty())
            file.problem = QStringLiteral("システムの設定 %1 は使いません（%2）。").arg(path, why);
    }
    return file;
}

}  // namespace sorelka::record
