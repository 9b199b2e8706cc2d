#pragma once

#include <QIODevice>
#include <QString>
#include <QTemporaryFile>

// The files a teacher or a school's script takes away (the answers, the
// levels, the printed report): they hold pupils' names and answers, so each
// is readable by this account only, and each appears whole or not at all.
namespace sorelka::report {

// Why `target` must not be written, one Japanese line; empty when it may.
// Refused: a symbolic link (never followed: it could lead anywhere, the
// record included), something that is no regular file, and the record file
// at `record_path` or one of the files that go with it (its -wal, -shm and
// -journal, its journals of kept answers, the copies set aside beside it),
// whichever way the folder is named.
QString ExportTargetProblem(const QString& target, const QString& record_path);
// The same for every file an export to `target` writes: an answers file
// (`answers_csv`) has its levels file beside it.
QString ExportTargetsProblem(const QString& target, bool answers_csv, const QString& record_path);

// A file written to a temporary file in the target's folder (mode 0600 from
// its first byte) and renamed over the target when whole. A target that is
// a link or no regular file is refused at Open; a link made in its place
// afterwards is replaced, not followed, by the rename.
class ExportFile {
public:
    explicit ExportFile(const QString& path);
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // False with a Japanese reason when the file cannot be written.
    bool Open(QString* error);
    QIODevice& device() { return temp_; }
    // Everything written reaches the disk and takes the target's name; false
    // with a Japanese reason (the target then stays as it was).
    bool Commit(QString* error);
    const QString& path() const { return path_; }

private:
    QString Unwritable(const QString& why) const;

    QString path_;
    QTemporaryFile temp_;
};

}  // namespace sorelka::report
