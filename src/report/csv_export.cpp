#include "report/csv_export.h"

#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "record/learning_record.h"

namespace sorelka::report {

namespace {

bool FormulaLike(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char('\'')) ++i;
    if (i >= text.size()) return false;
    const QChar c = text[i];
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') ||
           c == QLatin1Char('@') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

}  // namespace

QStringList CsvHeader() {
    return {QStringLiteral("id"),           QStringLiteral("pupil_id"),       QStringLiteral("pupil"),
            QStringLiteral("answered_at"),  QStringLiteral("topic"),          QStringLiteral("topic_name"),
            QStringLiteral("mode"),         QStringLiteral("menu_choice"),    QStringLiteral("drill_id"),
            QStringLiteral("question_no"),  QStringLiteral("problem"),        QStringLiteral("right_answer"),
            QStringLiteral("entered_answer"), QStringLiteral("correct"),      QStringLiteral("seconds"),
            QStringLiteral("error_kind"),   QStringLiteral("error_kind_label"), QStringLiteral("error_step"),
            QStringLiteral("worked_rows")};
}

QString CsvCell(const QString& text) {
    QString cell = FormulaLike(text) ? QLatin1Char('\'') + text : text;
    bool quote = cell.startsWith(QLatin1Char(' ')) || cell.endsWith(QLatin1Char(' '));
    for (const QChar c : cell)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r')) {
            quote = true;
            break;
        }
    if (!quote) return cell;
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

bool ExportCsv(const QSqlDatabase& db, const ReportFilter& filter, const QString& path,
               QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("「%1」に書きこめません（%2）").arg(path, file.errorString());
        return false;
    }
    QByteArray out("\xEF\xBB\xBF");
    out += CsvHeader().join(QLatin1Char(',')).toUtf8() + "\r\n";

    QString where;
    QVariantList values;
    auto add = [&](const QString& condition, const QVariant& value = QVariant()) {
        where += (where.isEmpty() ? QStringLiteral(" where ") : QStringLiteral(" and ")) + condition;
        if (value.isValid()) values << value;
    };
    if (filter.pupil) {
        if (filter.pupil->isEmpty() || *filter.pupil == record::kGuestName)
            add(QStringLiteral("h.pupil_id is null"));
        else
            add(QStringLiteral("h.pupil_id = (select id from pupils where name = ?)"), *filter.pupil);
    }
    if (filter.topic > 0) add(QStringLiteral("h.topic = ?"), filter.topic);
    if (filter.from) add(QStringLiteral("h.answered_at >= ?"), filter.from->toString(Qt::ISODate));
    if (filter.to) add(QStringLiteral("h.answered_at < ?"), filter.to->addDays(1).toString(Qt::ISODate));

    QSqlQuery q(db);
    q.setForwardOnly(true);
    // A record file that does not exist yet holds no answers: the header alone.
    if (db.isOpen()) q.prepare(QStringLiteral("select h.id, h.pupil_id, p.name, h.answered_at, h.topic, h.mode,"
                             " h.menu_choice, h.drill_id, h.question_no, h.problem, h.right_answer,"
                             " h.entered_answer, h.correct, h.seconds, h.error_kind, h.error_step,"
                             " h.worked_rows from history h left join pupils p on p.id = h.pupil_id") +
              where + QStringLiteral(" order by h.id"));
    for (const QVariant& v : values) q.addBindValue(v);
    if (db.isOpen() && !q.exec()) {
        *error = QStringLiteral("きろくを読めません（%1）").arg(q.lastError().text());
        return false;
    }
    QString line;
    while (q.next()) {
        const int topic = q.value(4).toInt();
        const QString kind = q.value(14).toString();
        const QString cells[] = {
            q.value(0).toString(),  q.value(1).toString(),
            q.value(1).isNull() ? record::kGuestName : q.value(2).toString(),
            q.value(3).toString(),  q.value(4).toString(),  TopicName(topic),
            q.value(5).toString(),  q.value(6).toString(),  q.value(7).toString(),
            q.value(8).toString(),  q.value(9).toString(),  q.value(10).toString(),
            q.value(11).toString(), q.value(12).toString(), q.value(13).toString(),
            kind,                   KindLabel(topic, kind), q.value(15).toString(),
            q.value(16).toString()};
        line.clear();
        for (const QString& c : cells) {
            if (&c != cells) line += QLatin1Char(',');
            line += CsvCell(c);
        }
        out += line.toUtf8();
        out += "\r\n";
        if (out.size() > (1 << 20)) {
            if (file.write(out) != out.size()) break;
            out.clear();
        }
    }
    if (file.write(out) != out.size() || !file.commit()) {
        *error = QStringLiteral("「%1」に書きこめません（%2）").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace sorelka::report
