#include "report/export_command.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include "record/learning_record.h"
#include "record/read_only_record.h"
#include "report/csv_export.h"
#include "report/export_file.h"
#include "report/pdf_report.h"
#include "report/report_data.h"
#include "report/xapi_export.h"

namespace sorelka::report {

namespace {

// A day written as YYYY-MM-DD that exists on the calendar.
std::optional<QDate> ParseDay(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(text).hasMatch()) return std::nullopt;
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (!day.isValid()) return std::nullopt;
    return day;
}

}  // namespace

int RunCommandLine(const QStringList& arguments, const QString& database_path, QDate today,
                   QTextStream& out, QTextStream& err, const ServerAnswers& server) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("学習のきろくを CSV か PDF に書き出します（ウィンドウは開きません）。"));
    const QCommandLineOption help_option = parser.addHelpOption();
    const QCommandLineOption export_option(QStringLiteral("export"),
                                           QStringLiteral("書き出すファイル（.csv か .pdf）。"),
                                           QStringLiteral("FILE"));
    const QCommandLineOption pupil_option(QStringLiteral("pupil"),
                                          QStringLiteral("この子の答えだけ（「ゲスト」も名前にできます）。"),
                                          QStringLiteral("NAME"));
    const QCommandLineOption from_option(QStringLiteral("from"), QStringLiteral("この日から（YYYY-MM-DD）。"),
                                         QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption to_option(QStringLiteral("to"), QStringLiteral("この日まで（YYYY-MM-DD）。"),
                                       QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption xapi_option(QStringLiteral("export-xapi"),
                                         QStringLiteral("xAPI のステートメントを一行ずつ書き出すファイル（JSON Lines）。"),
                                         QStringLiteral("FILE"));
    const QCommandLineOption server_option(QStringLiteral("server"),
                                           QStringLiteral("--export-xapi で、学校のサーバーの答えを書き出します。"));
    const QCommandLineOption codes_option(QStringLiteral("curriculum-codes"),
                                          QStringLiteral("--export-xapi で、学習指導要領コードの表（CSV）。"),
                                          QStringLiteral("FILE"));
    parser.addOptions({export_option, xapi_option, pupil_option, from_option, to_option, server_option, codes_option});

    auto refuse = [&](const QString& reason) {
        err << QStringLiteral("sorelka: ") << reason << Qt::endl;
        return kExitBadArgument;
    };
    if (!parser.parse(arguments))
        return refuse(QStringLiteral("オプションがまちがっています（%1）。--help で使い方を表示します。")
                          .arg(parser.errorText()));
    if (parser.isSet(help_option) || parser.isSet(QStringLiteral("help-all"))) {
        out << parser.helpText();
        out.flush();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("わからない引数があります：%1")
                          .arg(parser.positionalArguments().join(QLatin1Char(' '))));
    for (const QCommandLineOption* o :
         {&export_option, &xapi_option, &pupil_option, &from_option, &to_option, &codes_option})
        if (parser.values(*o).size() > 1)
            return refuse(QStringLiteral("--%1 は一度だけ指定してください。").arg(o->names().first()));
    const bool xapi = parser.isSet(xapi_option);
    if (xapi && parser.isSet(export_option))
        return refuse(QStringLiteral("--export と --export-xapi は、どちらか一つにしてください。"));
    if (!xapi && !parser.isSet(export_option))
        return refuse(QStringLiteral("--export で書き出すファイルを指定してください。"));
    const bool from_server = parser.isSet(server_option);
    if (!xapi && (from_server || parser.isSet(codes_option)))
        return refuse(QStringLiteral("--%1 は --export-xapi といっしょに使います。")
                          .arg(from_server ? QStringLiteral("server") : QStringLiteral("curriculum-codes")));
    if (from_server && !server) return refuse(QStringLiteral("--server はここでは使えません。"));
    // Names are told apart within a class only: the server's export is the whole school's.
    if (from_server && parser.isSet(pupil_option))
        return refuse(QStringLiteral("--server では --pupil は使えません（学校ぜんたいを書き出します）。"));
    const QString target = parser.value(xapi ? xapi_option : export_option);
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (target.isEmpty())
        return refuse(QStringLiteral("書き出すファイルの名前を書いてください。"));
    if (!xapi && suffix != QLatin1String("csv") && suffix != QLatin1String("pdf"))
        return refuse(QStringLiteral("書き出すファイルの名前は .csv か .pdf で終わるようにしてください：%1").arg(target));

    ReportFilter filter;
    for (auto [option, day] : {std::pair{&from_option, &filter.from}, std::pair{&to_option, &filter.to}}) {
        if (!parser.isSet(*option)) continue;
        *day = ParseDay(parser.value(*option));
        if (!*day)
            return refuse(QStringLiteral("--%1 の日付は YYYY-MM-DD の形の、ある日にしてください：%2")
                              .arg(option->names().first(), parser.value(*option)));
    }
    if (filter.from && filter.to && *filter.from > *filter.to)
        return refuse(QStringLiteral("--from の日が --to の日よりあとです。"));

    // Never over the record, nor through a link that could lead to it.
    const QString refused = ExportTargetsProblem(target, !xapi && suffix == QLatin1String("csv"), database_path);
    if (!refused.isEmpty()) {
        err << QStringLiteral("sorelka: ") << refused << Qt::endl;
        return kExitNotWritten;
    }

    exchange::CurriculumCodes codes;
    if (parser.isSet(codes_option)) {
        auto read = exchange::ReadCurriculumCodes(parser.value(codes_option));
        if (const auto* problem = std::get_if<exchange::RosterProblem>(&read)) {
            err << QStringLiteral("sorelka: ") << problem->Text() << Qt::endl;
            return kExitNotWritten;
        }
        codes = std::get<exchange::CurriculumCodes>(std::move(read));
    }
    QString error;
    if (from_server) {
        const bool written = ExportXapiFrom(
            [&](const XapiSink& take) { return server(filter.from, filter.to, take); }, codes, target, &error);
        if (!written) err << QStringLiteral("sorelka: ") << error << Qt::endl;
        return written ? 0 : kExitNotWritten;
    }

    // Read only: a script's export never upgrades, sets aside, backs up or
    // makes the record, and waits a while for a program that holds it.
    const record::ReadOnlyRecord record(database_path, kRecordWaitMs);
    if (!record.ok()) {
        err << QStringLiteral("sorelka: ") << record.problem() << Qt::endl;
        return kExitNotWritten;
    }
    const QSqlDatabase db = record.database();
    if (parser.isSet(pupil_option)) {
        const QString pupil = parser.value(pupil_option).trimmed();
        if (pupil.isEmpty() || !KnownPupil(db, pupil))
            return refuse(QStringLiteral("「%1」という名前はきろくにありません。").arg(pupil));
        filter.pupil = pupil == record::kGuestName ? QString() : pupil;
    }
    const bool written = xapi                               ? ExportXapi(db, filter, codes, target, &error)
                         : suffix == QLatin1String("csv") ? ExportCsv(db, filter, target, &error)
                                                          : ExportPdf(db, filter, today, target, &error);
    if (!written) {
        err << QStringLiteral("sorelka: ") << error << Qt::endl;
        return kExitNotWritten;
    }
    return 0;
}

}  // namespace sorelka::report
