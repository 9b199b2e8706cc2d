#include "app/command_line.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <algorithm>

namespace sorelka {

namespace {

struct OwnOption {
    const char* name;
    const char* value;  // nullptr: a switch
    const char* help;
};

// The program's own options, in the order the usage lists them.
const OwnOption kOwnOptions[] = {
    {"export", "ファイル", "学習のきろくを CSV（.csv）か PDF（.pdf）に書き出して終わります。ウィンドウは開きません。"},
    {"export-xapi", "ファイル",
     "学習のきろくを xAPI のステートメント（JSON Lines、1行に1つの答え）に書き出して終わります。"},
    {"pupil", "名前", "--export で、この子の答えだけを書き出します（「ゲスト」も名前にできます）。"},
    {"from", "YYYY-MM-DD", "--export と --export-xapi で、この日からの答えを書き出します。"},
    {"to", "YYYY-MM-DD", "--export と --export-xapi で、この日までの答えを書き出します。"},
    {"import-roster", "フォルダかファイル",
     "学校の名簿を読みこんで終わります: OneRoster の CSV のフォルダか、「クラス,番号,名前,よみ」の CSV ファイル。"},
    {"curriculum-codes", "ファイル",
     "--export-xapi で、学習指導要領コードの表（「単元,項目,コード」の CSV）を使います。"},
    {"server", nullptr,
     "--import-roster で学校のサーバーに読みこみ、--export-xapi で学校のサーバーの答えを書き出します。"
     "サーバーで、データベースの所有者として psql と同じ環境変数（PGHOST, PGPORT, PGDATABASE, PGUSER）で実行します。"},
    {"new-school-year", nullptr,
     "--import-roster --server で、新しい年度の名簿として読みこみます。先生の担当は名簿のクラスだけになります。"},
    {"set-teacher-pin", nullptr,
     "先生用のPIN（数字４けた）を、このPCのすべてのユーザーに設定します。管理者（root）として実行します。"},
};

// Options Qt's application objects take for themselves, hidden from the usage.
const char* const kQtOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                           "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                           "display", "name", "title", "visual", "geometry", "style",
                                           "stylesheet", "qmljsdebugger"};
const char* const kQtSwitches[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

const QStringList kHelpNames = {QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?"),
                                QStringLiteral("help-all")};

// The argument as typed that names option `name`.
QString AsTyped(const QStringList& arguments, const QString& name) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString option = arguments[i].section(QLatin1Char('='), 0, 0);
        if (option.startsWith(QLatin1Char('-')) && option.mid(option.startsWith(QStringLiteral("--")) ? 2 : 1) == name)
            return option;
    }
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

}  // namespace

QString Usage() {
    QString text = QStringLiteral(
        "使い方: sorelka [オプション]\n"
        "オプションなしで起動すると、メニューを開きます。\n\n"
        "オプション:\n");
    // Padded to one column on a terminal, where a kana or kanji takes two cells.
    auto line = [&](const QString& names, const QString& help) {
        qsizetype cells = 0;
        for (const QChar c : names) cells += c.unicode() < 0x1100 ? 1 : 2;
        text += QStringLiteral("  ") + names + QString(std::max<qsizetype>(1, 28 - cells), QLatin1Char(' ')) +
                help + QLatin1Char('\n');
    };
    for (const OwnOption& o : kOwnOptions)
        line(QStringLiteral("--") + QLatin1String(o.name) +
                 (o.value ? QStringLiteral(" <") + QString::fromUtf8(o.value) + QLatin1Char('>') : QString()),
             QString::fromUtf8(o.help));
    line(QStringLiteral("-h, --help"), QStringLiteral("この使い方を表示します。"));
    text += QStringLiteral(
        "\n--export は、書き出せたら 0、オプションがまちがっていれば 2、"
        "書き出せないときは 1 で終わります。\n");
    return text;
}

CommandLine ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own options are written with one dash (-platform); so may be ours.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OwnOption& o : kOwnOptions)
        parser.addOption(o.value ? QCommandLineOption(QString::fromLatin1(o.name), QString(), QStringLiteral("x"))
                                 : QCommandLineOption(QString::fromLatin1(o.name)));
    parser.addOption(QCommandLineOption(kHelpNames));
    for (const char* name : kQtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("x"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtSwitches) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine line;
    auto refuse = [&](const QString& why) {
        line.mode = CommandMode::Refused;
        line.refusal = why;
        return line;
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return refuse(QStringLiteral("「%1」というオプションはありません。")
                              .arg(AsTyped(arguments, parser.unknownOptionNames().first())));
        static const QRegularExpression quoted(QStringLiteral("'(.+)'"));
        const QRegularExpressionMatch m = quoted.match(parser.errorText());
        return refuse(QStringLiteral("「%1」のあとに値を書いてください。")
                          .arg(m.hasMatch() ? m.captured(1) : parser.errorText()));
    }
    if (parser.isSet(kHelpNames.first())) {
        line.mode = CommandMode::Help;
        return line;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("わからない引数があります：%1")
                          .arg(parser.positionalArguments().join(QLatin1Char(' '))));
    bool exporting = false;
    for (const OwnOption& o : kOwnOptions) {
        const QString name = QString::fromLatin1(o.name);
        if (!parser.isSet(name) || name == QStringLiteral("set-teacher-pin") || name == QStringLiteral("import-roster") ||
            name == QStringLiteral("server") || name == QStringLiteral("new-school-year"))
            continue;
        exporting = true;
        if (parser.values(name).size() > 1)
            return refuse(QStringLiteral("--%1 は一度だけ指定してください。").arg(name));
    }
    if (parser.isSet(QStringLiteral("import-roster"))) {
        if (exporting || parser.isSet(QStringLiteral("set-teacher-pin")))
            return refuse(QStringLiteral("--import-roster はほかのオプションとはいっしょに使えません。"));
        if (parser.values(QStringLiteral("import-roster")).size() > 1)
            return refuse(QStringLiteral("--import-roster は一度だけ指定してください。"));
        line.mode = CommandMode::ImportRoster;
        line.value = parser.value(QStringLiteral("import-roster"));
        line.to_server = parser.isSet(QStringLiteral("server"));
        line.new_school_year = parser.isSet(QStringLiteral("new-school-year"));
        if (line.new_school_year && !line.to_server)
            return refuse(QStringLiteral("--new-school-year は --import-roster --server といっしょに使います。"));
        return line;
    }
    if (parser.isSet(QStringLiteral("new-school-year")))
        return refuse(QStringLiteral("--new-school-year は --import-roster --server といっしょに使います。"));
    if (parser.isSet(QStringLiteral("server")) && !parser.isSet(QStringLiteral("export-xapi")))
        return refuse(QStringLiteral("--server は --import-roster か --export-xapi といっしょに使います。"));
    if (parser.isSet(QStringLiteral("set-teacher-pin"))) {
        if (exporting)
            return refuse(QStringLiteral("--set-teacher-pin は --export とはいっしょに使えません。"));
        line.mode = CommandMode::SetTeacherPin;
        return line;
    }
    line.mode = exporting ? CommandMode::Export : CommandMode::Menu;
    return line;
}

}  // namespace sorelka
