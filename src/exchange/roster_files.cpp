#include "exchange/roster_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

namespace sorelka::exchange {

QString RosterProblem::Text() const {
    QString where = file;
    if (line > 0) where += QStringLiteral(" の %1 行目").arg(line);
    if (!field.isEmpty()) where += QStringLiteral("（%1）").arg(field);
    return where + QStringLiteral(": ") + what;
}

namespace {

RosterProblem Problem(const QString& file, int line, const QString& field, const QString& what) {
    return {file, line, field, what};
}

// The file's text: UTF-8 (a byte-order mark dropped), else Shift_JIS as
// many schools' tools still write it; nullopt when it is neither.
std::optional<QString> DecodeText(const QByteArray& bytes) {
    QByteArrayView data(bytes);
    if (data.startsWith("\xEF\xBB\xBF")) data = data.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError()) return text;
    QStringDecoder sjis("Shift_JIS");
    if (!sjis.isValid()) return std::nullopt;
    text = sjis.decode(data);
    if (sjis.hasError()) return std::nullopt;
    return text;
}

// RFC 4180: fields split by commas, a quoted field may hold commas, quotes
// written twice and line breaks. Blank lines are skipped.
bool SplitCsv(const QString& text, std::vector<CsvRecord>* records, int* open_quote_line) {
    CsvRecord record{1, {}};
    QString field;
    bool quoted = false, field_started = false;
    int line = 1;
    auto end_field = [&] {
        record.fields << field;
        field.clear();
        field_started = false;
    };
    auto end_record = [&](int next_line) {
        end_field();
        if (!(record.fields.size() == 1 && record.fields.front().isEmpty())) records->push_back(std::move(record));
        record = CsvRecord{next_line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) ++line;
                field += c;
            }
        } else if (c == QLatin1Char('"') && !field_started) {
            quoted = field_started = true;
            *open_quote_line = line;
        } else if (c == QLatin1Char(',')) {
            end_field();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
            ++line;
            end_record(line);
        } else {
            field += c;
            field_started = true;
        }
    }
    if (quoted) return false;
    if (field_started || !record.fields.isEmpty() || !field.isEmpty()) end_record(line);
    return true;
}

// One CSV file of the set with its header; columns found by name, the
// case of letters aside (the two Japan profiles write "ShussekiNo" and
// "shussekiNo").
class Table {
public:
    Table(QString file, std::vector<CsvRecord> records) : file_(std::move(file)) {
        if (records.empty()) return;
        for (const QString& name : records.front().fields) header_ << name.trimmed();
        header_line_ = records.front().line;
        rows_.assign(std::make_move_iterator(records.begin() + 1), std::make_move_iterator(records.end()));
    }
    const QString& file() const { return file_; }
    const std::vector<CsvRecord>& rows() const { return rows_; }
    int Column(const QString& name) const {
        for (int i = 0; i < header_.size(); ++i)
            if (header_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    // The first of `names` the header has; -1 when none.
    int AnyColumn(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            if (int c = Column(QString::fromUtf8(name)); c >= 0) return c;
        return -1;
    }
    static QString Cell(const CsvRecord& row, int column) {
        return column >= 0 && column < row.fields.size() ? row.fields[column].trimmed() : QString();
    }
    // The columns `names` must all be in the header.
    std::optional<RosterProblem> Require(std::initializer_list<const char*> names) const {
        if (header_.isEmpty())
            return Problem(file_, 0, QString(), QStringLiteral("見出しの行がありません。"));
        for (const char* name : names)
            if (Column(QLatin1String(name)) < 0)
                return Problem(file_, header_line_, QLatin1String(name), QStringLiteral("この列がありません。"));
        return std::nullopt;
    }
    // Rows that are not to be deleted (an empty status counts as active).
    bool Active(const CsvRecord& row) const {
        return Cell(row, Column(QStringLiteral("status"))).compare(QStringLiteral("tobedeleted"), Qt::CaseInsensitive) != 0;
    }

private:
    QString file_;
    QStringList header_;
    int header_line_ = 1;
    std::vector<CsvRecord> rows_;
};

std::variant<Table, RosterProblem> ReadTable(const QString& folder, const char* name) {
    RosterProblem problem;
    std::vector<CsvRecord> records = ReadCsvFile(QDir(folder).filePath(QLatin1String(name)), &problem);
    if (!problem.what.isEmpty()) return problem;
    return Table(QLatin1String(name), std::move(records));
}

// The sourcedIds of a table's active rows, each once; the line of a second.
std::variant<QHash<QString, const CsvRecord*>, RosterProblem> ById(const Table& table) {
    QHash<QString, const CsvRecord*> rows;
    const int id = table.Column(QStringLiteral("sourcedId"));
    for (const CsvRecord& row : table.rows()) {
        const QString key = Table::Cell(row, id);
        if (key.isEmpty())
            return Problem(table.file(), row.line, QStringLiteral("sourcedId"), QStringLiteral("sourcedId が空です。"));
        if (rows.contains(key))
            return Problem(table.file(), row.line, QStringLiteral("sourcedId"),
                           QStringLiteral("sourcedId「%1」が %2 行目と同じです。").arg(key).arg(rows.value(key)->line));
        if (table.Active(row)) rows.insert(key, &row);
    }
    return rows;
}

// A pupil's number in `column` (empty: 0); the problem when it is not a
// positive whole number.
std::optional<RosterProblem> ReadNumber(const Table& table, const CsvRecord& row, int column, const QString& field,
                                        const QString& what, int* number) {
    *number = 0;
    const QString text = Table::Cell(row, column);
    if (text.isEmpty()) return std::nullopt;
    bool ok = false;
    *number = text.toInt(&ok);
    if (ok && *number > 0) return std::nullopt;
    return Problem(table.file(), row.line, field, QStringLiteral("%1「%2」が数ではありません。").arg(what, text));
}

QString JoinName(const QString& family, const QString& given) {
    if (family.isEmpty()) return given;
    if (given.isEmpty()) return family;
    return family + QLatin1Char(' ') + given;
}

void SortPupils(Roster& roster) {
    QHash<QString, int> order;
    for (const RosterClass& c : roster.classes) order.insert(c.name, int(order.size()));
    std::stable_sort(roster.pupils.begin(), roster.pupils.end(), [&](const RosterPupil& a, const RosterPupil& b) {
        const int ca = order.value(a.class_name), cb = order.value(b.class_name);
        if (ca != cb) return ca < cb;
        if ((a.number == 0) != (b.number == 0)) return b.number == 0;
        if (a.number != b.number) return a.number < b.number;
        return a.name < b.name;
    });
}

// The manifest says a OneRoster 1.2 set and every file this reads as bulk.
std::optional<RosterProblem> CheckManifest(const Table& manifest) {
    if (auto missing = manifest.Require({"propertyName", "value"})) return missing;
    QHash<QString, std::pair<QString, int>> values;
    const int key = manifest.Column(QStringLiteral("propertyName")), value = manifest.Column(QStringLiteral("value"));
    for (const CsvRecord& row : manifest.rows())
        values.insert(Table::Cell(row, key).toLower(), {Table::Cell(row, value), row.line});
    const auto version = values.value(QStringLiteral("oneroster.version"));
    if (!version.first.startsWith(QStringLiteral("1.2")))
        return Problem(manifest.file(), version.second, QStringLiteral("oneroster.version"),
                       QStringLiteral("OneRoster 1.2 のセットではありません（%1）。")
                           .arg(version.first.isEmpty() ? QStringLiteral("版の書きこみなし") : version.first));
    for (const char* file : {"orgs", "academicSessions", "classes", "users", "roles", "enrollments"}) {
        const QString property = QStringLiteral("file.%1").arg(QLatin1String(file)).toLower();
        const auto [kind, line] = values.value(property);
        if (kind.compare(QStringLiteral("bulk"), Qt::CaseInsensitive) == 0) continue;
        return Problem(manifest.file(), line, QStringLiteral("file.%1").arg(QLatin1String(file)),
                       kind.compare(QStringLiteral("delta"), Qt::CaseInsensitive) == 0
                           ? QStringLiteral("差分（delta）のセットは読めません。全体（bulk）で書き出してください。")
                           : QStringLiteral("このファイルが「bulk」になっていません。"));
    }
    return std::nullopt;
}

}  // namespace

std::vector<CsvRecord> ReadCsvFile(const QString& path, RosterProblem* problem) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.exists()) {
        *problem = Problem(name, 0, QString(), QStringLiteral("ファイルがありません。"));
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = Problem(name, 0, QString(), QStringLiteral("ファイルを読めません: %1").arg(file.errorString()));
        return {};
    }
    const std::optional<QString> text = DecodeText(file.readAll());
    if (!text) {
        *problem = Problem(name, 0, QString(), QStringLiteral("UTF-8 でも Shift_JIS でもない文字があります。UTF-8 で保存してください。"));
        return {};
    }
    std::vector<CsvRecord> records;
    int open_quote = 0;
    if (!SplitCsv(*text, &records, &open_quote)) {
        *problem = Problem(name, open_quote, QString(), QStringLiteral("「\"」で始まった欄が閉じていません。"));
        return {};
    }
    return records;
}

RosterRead ReadOneRoster(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return Problem(QDir::toNativeSeparators(folder), 0, QString(), QStringLiteral("フォルダがありません。"));
    std::vector<Table> tables;
    for (const char* name : {"manifest.csv", "orgs.csv", "academicSessions.csv", "classes.csv", "users.csv",
                             "roles.csv", "enrollments.csv"}) {
        auto read = ReadTable(folder, name);
        if (auto* problem = std::get_if<RosterProblem>(&read)) return *problem;
        tables.push_back(std::move(std::get<Table>(read)));
    }
    const Table &manifest = tables[0], &orgs = tables[1], &sessions = tables[2], &classes = tables[3],
                &users = tables[4], &roles = tables[5], &enrollments = tables[6];
    if (auto problem = CheckManifest(manifest)) return *problem;
    if (auto p = orgs.Require({"sourcedId", "name", "type"})) return *p;
    if (auto p = sessions.Require({"sourcedId", "title", "type", "startDate", "endDate"})) return *p;
    if (auto p = classes.Require({"sourcedId", "title", "classType", "schoolSourcedId"})) return *p;
    if (auto p = users.Require({"sourcedId", "username", "givenName", "familyName"})) return *p;
    if (auto p = roles.Require({"userSourcedId", "role", "orgSourcedId"})) return *p;
    if (auto p = enrollments.Require({"classSourcedId", "userSourcedId", "role"})) return *p;
    for (const Table* t : {&orgs, &sessions}) {
        auto ids = ById(*t);
        if (auto* problem = std::get_if<RosterProblem>(&ids)) return *problem;
    }
    auto class_ids = ById(classes);
    if (auto* problem = std::get_if<RosterProblem>(&class_ids)) return *problem;
    auto user_ids = ById(users);
    if (auto* problem = std::get_if<RosterProblem>(&user_ids)) return *problem;
    const auto& class_rows = std::get<QHash<QString, const CsvRecord*>>(class_ids);
    const auto& user_rows = std::get<QHash<QString, const CsvRecord*>>(user_ids);

    // Sorelka's classes are the homerooms; a set with none gives every class.
    const int class_type = classes.Column(QStringLiteral("classType")), title = classes.Column(QStringLiteral("title")),
              grades = classes.Column(QStringLiteral("grades")), class_id = classes.Column(QStringLiteral("sourcedId"));
    bool homerooms = false;
    for (const CsvRecord& row : classes.rows())
        homerooms = homerooms || Table::Cell(row, class_type).compare(QStringLiteral("homeroom"), Qt::CaseInsensitive) == 0;
    Roster roster;
    QHash<QString, QString> class_names;  // sourcedId → name, for the classes taken
    QSet<QString> names_taken;
    for (const CsvRecord& row : classes.rows()) {
        if (!classes.Active(row)) continue;
        if (homerooms && Table::Cell(row, class_type).compare(QStringLiteral("homeroom"), Qt::CaseInsensitive) != 0)
            continue;
        const QString name = Table::Cell(row, title);
        if (name.isEmpty())
            return Problem(classes.file(), row.line, QStringLiteral("title"), QStringLiteral("クラスの名前が空です。"));
        if (names_taken.contains(name))
            return Problem(classes.file(), row.line, QStringLiteral("title"),
                           QStringLiteral("クラス「%1」が二つあります。").arg(name));
        names_taken.insert(name);
        class_names.insert(Table::Cell(row, class_id), name);
        roster.classes.push_back({Table::Cell(row, class_id), name, Table::Cell(row, grades).section(QLatin1Char(','), 0, 0)});
    }

    // Who is a pupil and who a teacher: roles.csv, then the enrollment's own role.
    QHash<QString, QString> role_of;
    const int role_user = roles.Column(QStringLiteral("userSourcedId")), role_name = roles.Column(QStringLiteral("role")),
              role_type = roles.Column(QStringLiteral("roleType"));
    for (const CsvRecord& row : roles.rows()) {
        if (!roles.Active(row)) continue;
        const QString user = Table::Cell(row, role_user);
        if (!user_rows.contains(user))
            return Problem(roles.file(), row.line, QStringLiteral("userSourcedId"),
                           QStringLiteral("「%1」が users.csv にいません。").arg(user));
        if (!role_of.contains(user) || Table::Cell(row, role_type).compare(QStringLiteral("primary"), Qt::CaseInsensitive) == 0)
            role_of.insert(user, Table::Cell(row, role_name).toLower());
    }

    const int e_class = enrollments.Column(QStringLiteral("classSourcedId")),
              e_user = enrollments.Column(QStringLiteral("userSourcedId")),
              e_role = enrollments.Column(QStringLiteral("role")),
              e_number = enrollments.AnyColumn({"metadata.jp.ShussekiNo", "metadata.jp.shussekiNo"});
    const int given = users.Column(QStringLiteral("givenName")), family = users.Column(QStringLiteral("familyName")),
              kana_given = users.Column(QStringLiteral("metadata.jp.kanaGivenName")),
              kana_family = users.Column(QStringLiteral("metadata.jp.kanaFamilyName")),
              username = users.Column(QStringLiteral("username"));
    QHash<QString, int> pupil_at;    // user sourcedId → index in roster.pupils
    QHash<QString, int> teacher_at;  // user sourcedId → index in roster.teachers
    for (const CsvRecord& row : enrollments.rows()) {
        if (!enrollments.Active(row)) continue;
        const QString klass = Table::Cell(row, e_class), user = Table::Cell(row, e_user);
        if (!class_rows.contains(klass))
            return Problem(enrollments.file(), row.line, QStringLiteral("classSourcedId"),
                           QStringLiteral("クラス「%1」が classes.csv にありません。").arg(klass));
        if (!user_rows.contains(user))
            return Problem(enrollments.file(), row.line, QStringLiteral("userSourcedId"),
                           QStringLiteral("「%1」が users.csv にいません。").arg(user));
        if (!class_names.contains(klass)) continue;  // a subject's class, not a homeroom
        const CsvRecord& person = *user_rows.value(user);
        const QString role = Table::Cell(row, e_role).toLower();
        const QString name = JoinName(Table::Cell(person, family), Table::Cell(person, given));
        if (name.isEmpty())
            return Problem(users.file(), person.line, QStringLiteral("givenName"), QStringLiteral("名前が空です。"));
        if (role == QStringLiteral("student") || (role.isEmpty() && role_of.value(user) == QStringLiteral("student"))) {
            if (pupil_at.contains(user))
                return Problem(enrollments.file(), row.line, QStringLiteral("userSourcedId"),
                               QStringLiteral("「%1」は クラス「%2」にも入っています。")
                                   .arg(name, roster.pupils[pupil_at.value(user)].class_name));
            int number = 0;
            if (auto bad = ReadNumber(enrollments, row, e_number, QStringLiteral("metadata.jp.ShussekiNo"),
                                      QStringLiteral("出席番号"), &number))
                return *bad;
            pupil_at.insert(user, int(roster.pupils.size()));
            roster.pupils.push_back({user, name,
                                     JoinName(Table::Cell(person, kana_family), Table::Cell(person, kana_given)),
                                     class_names.value(klass), number});
        } else if (role == QStringLiteral("teacher") || role == QStringLiteral("aide") ||
                   role == QStringLiteral("administrator")) {
            if (!teacher_at.contains(user)) {
                teacher_at.insert(user, int(roster.teachers.size()));
                roster.teachers.push_back({user, Table::Cell(person, username), name, {}});
            }
            QStringList& granted = roster.teachers[teacher_at.value(user)].class_names;
            if (!granted.contains(class_names.value(klass))) granted << class_names.value(klass);
        }
    }
    SortPupils(roster);
    return roster;
}

RosterRead ReadRoster(const QString& path) {
    return QFileInfo(path).isDir() ? ReadOneRoster(path) : ReadPlainRoster(path);
}

RosterRead ReadPlainRoster(const QString& path) {
    RosterProblem problem;
    std::vector<CsvRecord> records = ReadCsvFile(path, &problem);
    if (!problem.what.isEmpty()) return problem;
    Table table(QFileInfo(path).fileName(), std::move(records));
    const int klass = table.AnyColumn({"クラス", "class"}), number = table.AnyColumn({"番号", "number"}),
              name = table.AnyColumn({"名前", "name"}), reading = table.AnyColumn({"よみ", "reading"});
    if (klass < 0 || name < 0)
        return Problem(table.file(), 1, klass < 0 ? QStringLiteral("クラス") : QStringLiteral("名前"),
                       QStringLiteral("この列がありません（見出しは「クラス,番号,名前,よみ」）。"));
    Roster roster;
    QSet<QString> classes, seen;
    for (const CsvRecord& row : table.rows()) {
        const QString class_name = Table::Cell(row, klass), pupil = Table::Cell(row, name);
        if (class_name.isEmpty())
            return Problem(table.file(), row.line, QStringLiteral("クラス"), QStringLiteral("クラスが空です。"));
        if (pupil.isEmpty())
            return Problem(table.file(), row.line, QStringLiteral("名前"), QStringLiteral("名前が空です。"));
        int n = 0;
        if (auto bad = ReadNumber(table, row, number, QStringLiteral("番号"), QStringLiteral("番号"), &n)) return *bad;
        // A pupil is known by the name and its reading, so one moved to
        // another class in the next list stays the same pupil.
        const QString id = pupil + QLatin1Char('/') + Table::Cell(row, reading);
        if (seen.contains(id))
            return Problem(table.file(), row.line, QStringLiteral("名前"),
                           QStringLiteral("「%1」が二度書かれています。").arg(pupil));
        seen.insert(id);
        if (!classes.contains(class_name)) {
            classes.insert(class_name);
            roster.classes.push_back({class_name, class_name, QString()});
        }
        roster.pupils.push_back({id, pupil, Table::Cell(row, reading), class_name, n});
    }
    SortPupils(roster);
    return roster;
}

}  // namespace sorelka::exchange
