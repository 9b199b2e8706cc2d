#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "report/mastery_report.h"
#include "report/report_data.h"

namespace sorelka {

namespace record {
class LearningRecord;
}
namespace sync {
class TeacherSession;
}

// Where the teacher's view reads the class from, as the view tells the teacher.
enum class ClassSource {
    ThisPc,    // no server, or the teacher chose this PC's record
    SignedIn,  // a class on the school's server, the teacher signed in
    NoClass,   // signed in, but no class is granted to the teacher
};

// The sentence that begins the view's source line ("表示しているのは …"):
// `class_name` and `teacher` when signed in.
QString SourceSentence(ClassSource source, const QString& class_name = QString(),
                       const QString& teacher = QString());

enum class ExportFormat { Csv, Pdf };

// What the class and one-pupil tabs and the exports read: the report's
// figures over one class. Showing another source (the server's class
// counted on the server, say) is another ClassData; the tabs stay as they are.
class ClassData {
public:
    virtual ~ClassData() = default;
    // False while there is nothing to read (this PC's file not made yet).
    virtual bool Ready() const = 0;
    // Every pupil of the class in roster order, archived ones included;
    // with `resting` false, those at work only.
    virtual QStringList Pupils(bool resting = true) const = 0;
    virtual std::vector<report::ClassRow> Summary(const report::ReportFilter& filter) const = 0;
    virtual std::vector<report::WeeklyPercent> Weekly(const QString& pupil, QDate last_week,
                                                      std::optional<Topic> topic) const = 0;
    virtual std::vector<report::KindCount> Kinds(const report::ReportFilter& filter) const = 0;
    virtual std::vector<report::WrongAnswer> RecentWrong(const report::ReportFilter& filter,
                                                         int limit) const = 0;
    // Each pupil's level of each skill kept (none where the class keeps none).
    virtual std::vector<report::SkillLevel> Levels() const = 0;
    // Writes the answers within `filter` to `path`; false with a Japanese
    // reason in `error`.
    virtual bool Export(ExportFormat format, const report::ReportFilter& filter, QDate today,
                        const QString& path, QString* error) const = 0;

    // This PC's own record file.
    static std::unique_ptr<ClassData> ThisPc(record::LearningRecord& record);
    // One class as the school's server counts it for a signed-in teacher
    // (`session` outlives the data).
    static std::unique_ptr<ClassData> OnServer(sync::TeacherSession& session, const QString& class_name);
};

}  // namespace sorelka
