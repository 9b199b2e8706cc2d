#include <QStringList>

#include "app/teacher/class_data.h"
#include "record/learning_record.h"
#include "report/csv_export.h"
#include "report/pdf_report.h"
#include "sync/teacher_session.h"

namespace sorelka {

namespace {

using sync::Bound;
using sync::PgResult;
using sync::PgValue;

PgValue Day(const std::optional<QDate>& day) {
    if (!day) return std::nullopt;
    return day->toString(Qt::ISODate).toUtf8();
}

PgValue TopicValue(std::optional<Topic> topic) {
    if (!topic) return std::nullopt;
    return QByteArray::number(TopicNumber(*topic));
}

// One class as the school's server holds it, counted there by the functions
// its SQL ships: the teacher's PC fetches only the rows a tab shows. The
// guest's answers belong to no class: the server has none of them here.
class ServerClass final : public ClassData {
public:
    ServerClass(sync::TeacherSession& session, QString class_name)
        : session_(session), class_(std::move(class_name)) {}

    bool Ready() const override { return true; }
    QStringList Pupils(bool resting) const override {
        QStringList names;
        const PgResult r =
            session_.Exec(QStringLiteral("select pupil, archived from sorelka_pupils($1)"), {Bound(class_)});
        for (int i = 0; r.ok() && i < r.rows(); ++i)
            if (resting || r.text(i, 1) != QStringLiteral("t")) names << r.text(i, 0);
        return names;
    }

    // The server keeps no mastery: every level shows "まだ".
    std::vector<report::SkillLevel> Levels() const override { return {}; }

    std::vector<report::ClassRow> Summary(const report::ReportFilter& filter) const override {
        std::vector<report::ClassRow> rows;
        if (Guest(filter)) return rows;
        const PgResult r = session_.Exec(QStringLiteral("select * from sorelka_class_summary($1, $2, $3::date,"
                                                        " $4::date, $5::integer)"),
                                         Filtered(filter));
        for (int i = 0; r.ok() && i < r.rows(); ++i) {
            const std::optional<Topic> topic = TopicFromNumber(int(r.number(i, 1)));
            if (!topic) continue;
            report::ClassRow row;
            row.pupil = r.text(i, 0);
            row.topic = *topic;
            row.answers = int(r.number(i, 2));
            row.correct = int(r.number(i, 3));
            row.median_seconds = r.text(i, 4).toDouble();
            row.last_day = r.text(i, 5).left(10);
            row.habit = r.text(i, 6);
            row.drills = int(r.number(i, 7));
            row.best_points = int(r.number(i, 8));
            // A server whose functions predate find-the-mistake answers has
            // no columns for them.
            if (r.columns() > 10) {
                row.found_answers = int(r.number(i, 9));
                row.found_correct = int(r.number(i, 10));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    std::vector<report::WeeklyPercent> Weekly(const QString& pupil, QDate today,
                                              std::optional<Topic> topic) const override {
        std::vector<report::WeeklyPercent> out;
        for (Topic t : kAllTopics)
            if (!topic || topic == t) out.push_back({t, {}});
        const QDate first = report::WeekStart(today).addDays(-7 * 7);
        const PgResult r = session_.Exec(QStringLiteral("select * from sorelka_weekly($1, $2, $3::date, $4::integer)"),
                                         {Bound(class_), Bound(pupil), Day(first), TopicValue(topic)});
        for (int i = 0; r.ok() && i < r.rows(); ++i) {
            const std::optional<Topic> t = TopicFromNumber(int(r.number(i, 0)));
            const qint64 week = r.number(i, 1), n = r.number(i, 2);
            for (report::WeeklyPercent& wp : out)
                if (wp.topic == t && week >= 0 && week < 8 && n > 0)
                    wp.percent[week] = int((r.number(i, 3) * 100 + n / 2) / n);
        }
        return out;
    }

    std::vector<report::KindCount> Kinds(const report::ReportFilter& filter) const override {
        std::vector<report::KindCount> out;
        if (Guest(filter)) return out;
        const PgResult r = session_.Exec(
            QStringLiteral("select * from sorelka_kinds($1, $2, $3::date, $4::date, $5::integer)"), Filtered(filter));
        for (int i = 0; r.ok() && i < r.rows(); ++i)
            if (const std::optional<Topic> topic = TopicFromNumber(int(r.number(i, 0))))
                out.push_back({*topic, r.text(i, 1), int(r.number(i, 2))});
        return out;
    }

    std::vector<report::WrongAnswer> RecentWrong(const report::ReportFilter& filter, int limit) const override {
        std::vector<report::WrongAnswer> out;
        if (Guest(filter)) return out;
        std::vector<PgValue> values = Filtered(filter);
        values.push_back(QByteArray::number(limit));
        const PgResult r = session_.Exec(
            QStringLiteral("select * from sorelka_recent_wrong($1, $2, $3::date, $4::date, $5::integer, $6::integer)"),
            values);
        for (int i = 0; r.ok() && i < r.rows(); ++i)
            if (const std::optional<Topic> topic = TopicFromNumber(int(r.number(i, 3))))
                out.push_back({r.text(i, 0), r.text(i, 1), r.text(i, 2), *topic, r.text(i, 4), r.text(i, 5)});
        return out;
    }

    bool Export(ExportFormat format, const report::ReportFilter& filter, QDate today, const QString& path,
                QString* error) const override {
        if (format == ExportFormat::Pdf) {
            const report::ReportReader reader{
                [this](const report::ReportFilter& f) { return Summary(f); },
                [this](const report::ReportFilter& f) { return Kinds(f); },
                [this](const QString& pupil, QDate day, std::optional<Topic> topic) {
                    return Weekly(pupil, day, topic);
                },
                [this](const report::ReportFilter& f) {
                    QStringList names;
                    if (f.pupil) return QStringList{*f.pupil};
                    for (const report::ClassRow& row : Summary(f))
                        if (!names.contains(row.pupil)) names << row.pupil;
                    return names;
                }};
            return report::ExportPdf(reader, filter, today, path, error);
        }
        report::AnswersFile file(path);
        if (!file.Open(error)) return false;
        if (Guest(filter)) return file.Commit(error);
        std::array<QByteArray, report::AnswersFile::kAnswerCells> cells;
        QString problem;
        const bool read = session_.Stream(
            QStringLiteral("select sorelka_open_answers($1, $2, $3::date, $4::date, $5::integer)"), Filtered(filter),
            [&](const PgResult& batch) {
                for (int i = 0; i < batch.rows(); ++i) {
                    for (int c = 0; c < report::AnswersFile::kAnswerCells; ++c) cells[c] = batch.bytes(i, c);
                    file.Add(cells);
                }
            },
            &problem);
        if (!read) {
            *error = QStringLiteral("学校のサーバーから読めません（%1）").arg(problem);
            return false;
        }
        return file.Commit(error);
    }

private:
    static bool Guest(const report::ReportFilter& filter) {
        return filter.pupil && (filter.pupil->isEmpty() || *filter.pupil == record::kGuestName);
    }
    // The class and the filter as the server's functions take them.
    std::vector<PgValue> Filtered(const report::ReportFilter& filter) const {
        return {Bound(class_), filter.pupil ? Bound(*filter.pupil) : PgValue(), Day(filter.from), Day(filter.to),
                TopicValue(filter.topic)};
    }

    sync::TeacherSession& session_;
    QString class_;
};

}  // namespace

std::unique_ptr<ClassData> ClassData::OnServer(sync::TeacherSession& session, const QString& class_name) {
    return std::make_unique<ServerClass>(session, class_name);
}

}  // namespace sorelka
