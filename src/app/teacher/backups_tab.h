#pragma once

#include <QDateTime>
#include <map>
#include <optional>

#include "app/teacher/teacher_tab.h"
#include "record/kept_copies.h"

class QLabel;
class QTableView;

namespace sorelka {

struct AppContext;
class KeptCopiesModel;
namespace record {
class LearningRecord;
}

// The copies of this PC's record a teacher may put back (BackupTable): files
// set aside beside the record, the daily backups of the current record and
// those of records set aside earlier, each with its date and, where it can
// be read, its pupils and answers. RestoreButton puts the chosen one back
// after a Yes/No question: the file in use is set aside first, never
// overwritten, and the program goes on with the restored record. What
// happened is said in BackupMessage and in a message box. RemoveCopyButton
// removes the chosen copy after a question, except the current record's
// daily copies, which the rotation keeps.
class BackupsTab : public TeacherTab {
    Q_OBJECT
public:
    BackupsTab(record::LearningRecord& record, AppContext& ctx, QWidget* parent);
    QString Title() const override { return QStringLiteral("バックアップ"); }
    void Show(const ClassView& view) override;

public slots:
    void RestoreChosen();
    void RemoveChosen();

private:
    // Lists the copies again; what a copy holds is read once per file version.
    void ListCopies();
    // The copy whose row is chosen; without one, says so in BackupMessage.
    std::optional<record::KeptCopy> ChosenCopy(const QString& ask);
    void Say(const QString& message, const QString& detail, bool ok);
    std::optional<record::CopyContents> ContentsOf(const record::KeptCopy& copy);

    struct Read {
        QDateTime modified;
        qint64 bytes = 0;
        std::optional<record::CopyContents> contents;
    };

    record::LearningRecord& record_;
    AppContext& ctx_;
    KeptCopiesModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* message_ = nullptr;
    std::map<QString, Read> read_;
};

}  // namespace sorelka
