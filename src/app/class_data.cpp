#include "app/class_data.h"

#include "record/learning_record.h"
#include "report/csv_export.h"
#include "report/pdf_report.h"
#include "sync/class_record.h"

namespace sorelka {

QString SourceSentence(ClassSource source, int pcs) {
    switch (source) {
        case ClassSource::ThisPc: return QStringLiteral("表示しているのは このPCの記録です。");
        case ClassSource::ThisPcWhileReading:
            return QStringLiteral("表示しているのは このPCの記録です（学校のサーバーの記録を読んでいます）。");
        case ClassSource::Server:
            return QStringLiteral("表示しているのは 学校のサーバーの記録です（PC %1台）。").arg(pcs);
        case ClassSource::ServerUnreachable:
            return QStringLiteral("サーバーに つながらないため、このPCの記録を表示しています。");
        case ClassSource::ServerUnreadable:
            return QStringLiteral("サーバーの記録を読めなかったため、このPCの記録を表示しています。");
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
    int Pcs() const override { return 1; }
    QStringList Pupils() const override {
        QStringList names;
        for (const auto& entry : record_.Roster()) names << entry.name;
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

class ServerCopyClass final : public RecordedClass {
public:
    explicit ServerCopyClass(std::unique_ptr<sync::ClassRecord> copy) : copy_(std::move(copy)) {}
    bool Ready() const override { return true; }
    int Pcs() const override { return copy_->pcs(); }
    QStringList Pupils() const override { return copy_->pupils(); }

private:
    QSqlDatabase Database() const override { return copy_->database(); }
    std::unique_ptr<sync::ClassRecord> copy_;
};

}  // namespace

std::unique_ptr<ClassData> ClassData::ThisPc(record::LearningRecord& record) {
    return std::make_unique<ThisPcClass>(record);
}

std::unique_ptr<ClassData> ClassData::ServerCopy(std::unique_ptr<sync::ClassRecord> copy) {
    return std::make_unique<ServerCopyClass>(std::move(copy));
}

}  // namespace sorelka
