#include "report/xapi_export.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "exchange/xapi_statement.h"
#include "report/export_file.h"
#include "topics/topic_table.h"

namespace sorelka::report {

namespace {

// "わり算：２けたでわる"; a drill's item by its number.
QString ActivityName(int topic, const QString& mode, int menu_choice) {
    for (const TopicInfo& info : TopicTable()) {
        if (TopicNumber(info.topic) != topic) continue;
        QString name = QString::fromStdString(info.name);
        if (mode == QLatin1String("drill"))
            return name + QStringLiteral("：ドリル") + (menu_choice > 0 ? QStringLiteral("（%1）").arg(menu_choice) : QString());
        if (menu_choice >= 1 && menu_choice <= int(info.practice_menu.size()))
            name += QStringLiteral("：") + QString::fromStdString(info.practice_menu[std::size_t(menu_choice - 1)]);
        return name;
    }
    return QStringLiteral("単元 %1").arg(topic);
}

// The record's answers within the filter, in the order they were kept.
QString ReadRecordAnswers(const QSqlDatabase& db, const ReportFilter& filter, const XapiSink& take) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The PC's id names its pupils and answers; a file never sent has none.
    QString source = QStringLiteral("record");
    if (q.exec(QStringLiteral("select pc_id from sync_source limit 1")) && q.next()) source = q.value(0).toString();
    QString where;
    QVariantList values;
    auto add = [&](const QString& condition, const QVariant& value = QVariant()) {
        where += where.isEmpty() ? QStringLiteral(" where ") : QStringLiteral(" and ");
        where += condition;
        if (value.isValid()) values << value;
    };
    if (filter.pupil) {
        if (filter.pupil->isEmpty())
            add(QStringLiteral("h.pupil_id is null"));
        else
            add(QStringLiteral("h.pupil_id = (select id from pupils where name = ?)"), *filter.pupil);
    }
    if (filter.topic) add(QStringLiteral("h.topic = ?"), TopicNumber(*filter.topic));
    if (filter.from) add(QStringLiteral("h.answered_at >= ?"), filter.from->toString(Qt::ISODate));
    if (filter.to) add(QStringLiteral("h.answered_at < ?"), filter.to->addDays(1).toString(Qt::ISODate));
    // Columns of later layouts read when the file has them.
    const bool work = q.exec(QStringLiteral("select work_id, skill from history limit 0"));
    const bool listed = q.exec(QStringLiteral("select source_id from pupils limit 0"));
    q.prepare(QStringLiteral("select h.id, h.pupil_id, %1, h.answered_at, h.topic, h.mode, h.menu_choice,"
                             " h.entered_answer, h.correct, h.seconds, h.error_kind, %2"
                             " from history h left join pupils p on p.id = h.pupil_id%3 order by h.id")
                  .arg(listed ? QStringLiteral("p.source_id") : QStringLiteral("null"),
                       work ? QStringLiteral("h.skill, h.work_id") : QStringLiteral("null, null"), where));
    for (const QVariant& v : values) q.addBindValue(v);
    // A record file that does not exist yet holds no answers: an empty file.
    if (db.isOpen() && !q.exec()) return QStringLiteral("きろくを読めません（%1）").arg(q.lastError().text());
    exchange::XapiAnswer a;
    a.source = source;
    while (q.next()) {
        a.answer_id = q.value(0).toLongLong();
        const QString key = exchange::XapiPupilKey(source, q.value(1).toString(), q.value(2).toString());
        a.answered_at = q.value(3).toString();
        a.topic = q.value(4).toInt();
        a.mode = q.value(5).toString();
        a.menu_choice = q.value(6).toInt();
        a.response = q.value(7).toString();
        a.correct = q.value(8).toInt() != 0;
        a.seconds = q.value(9).isNull() ? std::nullopt : std::optional<double>(q.value(9).toDouble());
        a.mistake_kind = q.value(10).toString();
        a.skill = q.value(11).toString();
        a.work_id = q.value(12).isNull() ? std::nullopt : std::optional<qint64>(q.value(12).toLongLong());
        if (!take(a, key)) return QString();
    }
    return QString();
}

}  // namespace

bool XapiWriter::Write(exchange::XapiAnswer& a, const QString& pupil_key, QString* error) {
    auto account = accounts_.constFind(pupil_key);
    if (account == accounts_.constEnd()) account = accounts_.insert(pupil_key, exchange::XapiAccountName(pupil_key));
    a.account = *account;
    const QString item = QStringLiteral("%1/%2/%3").arg(a.topic).arg(a.mode).arg(a.menu_choice);
    auto activity = activities_.constFind(item);
    if (activity == activities_.constEnd())
        // A drill's number names no item of the practice menu.
        activity = activities_.insert(
            item, {ActivityName(a.topic, a.mode, a.menu_choice),
                   codes_.For(a.topic, a.mode == QLatin1String("drill") ? 0 : a.menu_choice)});
    a.activity_name = activity->name;
    a.curriculum_codes = activity->codes;
    if (out_.write(exchange::XapiStatementLine(a) + '\n') < 0) {
        *error = QStringLiteral("ファイルに書けません（%1）").arg(out_.errorString());
        return false;
    }
    return true;
}

bool ExportXapiFrom(const std::function<QString(const XapiSink&)>& read, const exchange::CurriculumCodes& codes,
                    const QString& path, QString* error) {
    ExportFile file(path);
    if (!file.Open(error)) return false;
    XapiWriter writer(file.device(), codes);
    QString write_error;
    const QString why = read([&](exchange::XapiAnswer& a, const QString& key) { return writer.Write(a, key, &write_error); });
    if (!write_error.isEmpty() || !why.isEmpty()) {
        *error = write_error.isEmpty() ? why : write_error;
        return false;
    }
    return file.Commit(error);
}

bool ExportXapi(const QSqlDatabase& db, const ReportFilter& filter, const exchange::CurriculumCodes& codes,
                const QString& path, QString* error) {
    return ExportXapiFrom([&](const XapiSink& take) { return ReadRecordAnswers(db, filter, take); }, codes, path,
                          error);
}

}  // namespace sorelka::report
