#include "app/teacher/class_data.h"

#include "record/learning_record.h"
#include "report/csv_export.h"
#include "report/pdf_report.h"

namespace sorelka {

QString SourceSentence(ClassSource source, const QString& class_name, const QString& teacher) {
    switch (source) {
        case ClassSource::ThisPc: return QStringLiteral("表示しているのは このPCの記録です。");
        case ClassSource::SignedIn:
            return QStringLiteral("表示しているのは 学校のサーバーの「%1」です（%2 で サインイン）。").arg(class_name, teacher);
        case ClassSource::NoClass:
            return QStringLiteral("%1 に見られるクラスが ありません（管理者に たのんでください）。").arg(teacher);
    }
    return {};
}

namespace {

// A class held in an SQLite database with the record's layout: the report
// functions read it.
class RecordedClass : public ClassData {
public:
    std::vector<report::ClassRow> Summary(const report::ReportFilter& filter) const override {
        return Ready() ? report::ClassSummary(Database(), filter) : std::vector<report::ClassRow>();
    }
    std::vector<report::WeeklyPercent> Weekly(const QString& pupil, QDate last_week,
                                              std::optional<Topic> topic) const override {
        return report::WeeklyPercents(Database(), pupil, last_week, topic);
    }
    std::vector<report::KindCount> Kinds(const report::ReportFilter& filter) const override {
        return report::KindCounts(Database(), filter);
    }
    std::vector<report::WrongAnswer> RecentWrong(const report::ReportFilter& filter, int limit) const override {
        return report::RecentWrong(Database(), filter, limit);
    }
    std::vector<report::SkillLevel> Levels() const override { return report::ReadSkillLevels(Database()); }
    bool Export(ExportFormat format, const report::ReportFilter& filter, QDate today, const QString& path,
                QString* error) const override {
        return format == ExportFormat::Pdf ? report::ExportPdf(Database(), filter, today, path, error)
                                           : report::ExportCsv(Database(), filter, path, error);
    }

protected:
    virtual QSqlDatabase Database() const = 0;
};

class ThisPcClass final : public RecordedClass {
public:
    explicit ThisPcClass(record::LearningRecord& record) : record_(record) {}
    bool Ready() const override { return record_.store().Ready(); }
    QStringList Pupils(bool resting) const override {
        QStringList names;
        for (const auto& entry : record_.Roster())
            if (resting || !entry.archived) names << entry.name;
        return names;
    }
    std::vector<report::SkillLevel> Levels() const override {
        // A file with answers but no mastery yet is rebuilt before it is read.
        if (record::SkillMastery* mastery = record_.mastery()) mastery->RebuildIfMissing();
        return RecordedClass::Levels();
    }

private:
    // Asked each time: the store may have set its file aside and made a new one.
    QSqlDatabase Database() const override { return record_.store().database(); }
    record::LearningRecord& record_;
};

}  // namespace

std::unique_ptr<ClassData> ClassData::ThisPc(record::LearningRecord& record) {
    return std::make_unique<ThisPcClass>(record);
}

}  // namespace sorelka
