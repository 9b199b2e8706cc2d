#include "report/csv_export.h"

#include <QSqlDriver>
#include <QVariant>
#include <cstring>
#include <map>
#include <sqlite3.h>
#include <vector>


#include "record/learning_record.h"
#include "report/mastery_report.h"

namespace sorelka::report {

namespace {

// The minus sign U+2212 folds to nothing else, yet a spreadsheet reads it
// as the sign of a number or a formula.
bool FormulaStart(char32_t c) {
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r' || c == 0x2212;
}

// The character at text[i] (UTF-8) and its length in bytes; length 0 for
// bytes that are no character.
char32_t CharAt(const char* text, qsizetype size, qsizetype i, int* length) {
    const auto lead = static_cast<unsigned char>(text[i]);
    *length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (*length == 0 || i + *length > size) {
        *length = 0;
        return 0;
    }
    char32_t c = *length == 1 ? lead : lead & (0x7F >> *length);
    for (int k = 1; k < *length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return c;
}

// A cell a spreadsheet would take for a formula: = + - @ tab or CR first,
// also after leading quotes, white space (the ideographic space too) and
// invisible format characters (a zero-width space), and in another form of
// the same sign ("＝1+1", "＋1", "＠SUM"): the first character that shows is
// folded as NFKC does before the test.
bool FormulaLike(const char* text, qsizetype size) {
    for (qsizetype i = 0; i < size;) {
        int length = 0;
        const char32_t c = CharAt(text, size, i, &length);
        if (length == 0) return false;
        if (FormulaStart(c)) return true;
        if (c == '\'' || QChar::isSpace(c) || QChar::category(c) == QChar::Other_Format) {
            i += length;
            continue;
        }
        // Kana, kanji and hangul fold to no sign: most Japanese cells stop here.
        if (c < 0x80 || (c >= 0x3040 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF)) return false;
        const QString folded = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KC);
        return !folded.isEmpty() && FormulaStart(folded.front().unicode());
    }
    return false;
}

// Appends one cell of UTF-8 text (the characters that matter are all ASCII).
void AppendCell(QByteArray& out, const char* text, qsizetype size) {
    bool quote = size > 0 && (text[0] == ' ' || text[size - 1] == ' ');
    for (qsizetype i = 0; i < size && !quote; ++i) {
        const char c = text[i];
        quote = c <= ',' && (c == ',' || c == '"' || c == '\n' || c == '\r');
    }
    if (quote) out += '"';
    if (FormulaLike(text, size)) out += '\'';
    if (!quote) {
        out.append(text, size);
        return;
    }
    // Quotes doubled, the text between them appended a run at a time.
    const char* end = text + size;
    for (const char* from = text; from < end;) {
        const char* mark = static_cast<const char*>(std::memchr(from, '"', size_t(end - from)));
        const char* to = mark ? mark + 1 : end;
        out.append(from, to - from);
        if (mark) out += '"';
        from = to;
    }
    out += '"';
}

void AppendCell(QByteArray& out, const QByteArray& text) { AppendCell(out, text.constData(), text.size()); }

// The connection's own SQLite handle: the answers file reads 400,000 rows
// straight from SQLite's UTF-8, without a QVariant per cell.
sqlite3* Handle(const QSqlDatabase& db) {
    if (!db.isOpen()) return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

class Statement {
public:
    Statement(sqlite3* db, const QByteArray& sql) {
        if (db) sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

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
    QByteArray out;
    AppendCell(out, text.toUtf8());
    return QString::fromUtf8(out);
}

AnswersFile::AnswersFile(const QString& path) : file_(path) {
    for (Topic t : kAllTopics) topic_names_[TopicNumber(t)] = TopicName(t).toUtf8();
}

AnswersFile::~AnswersFile() = default;

bool AnswersFile::Open(QString* error) {
    // Pupils' answers: readable by this account only, also over an older export.
    if (!file_.Open(error)) return false;
    out_ = "\xEF\xBB\xBF";
    out_ += CsvHeader().join(QLatin1Char(',')).toUtf8() + "\r\n";
    return true;
}

void AnswersFile::Add(const std::array<QByteArray, kAnswerCells>& cells) {
    // A number no topic has (a newer program's) keeps its number, with no name.
    const std::optional<Topic> topic = TopicFromNumber(cells[4].toInt());
    const QByteArray& kind = cells[14];
    QByteArray& label = labels_[{topic, QByteArray(kind.constData(), kind.size())}];
    if (label.isEmpty() && !kind.isEmpty()) label = KindLabel(topic, QString::fromUtf8(kind)).toUtf8();
    for (int c = 0; c < kAnswerCells; ++c) {
        if (c) out_ += ',';
        AppendCell(out_, cells[c]);
        if (c == 4) {
            out_ += ',';
            AppendCell(out_, topic ? topic_names_[TopicNumber(*topic)] : QByteArray());
        } else if (c == 14) {
            out_ += ',';
            AppendCell(out_, label);
        }
    }
    out_ += "\r\n";
    if (out_.size() > (1 << 20)) {
        written_ = written_ && file_.device().write(out_) == out_.size();
        out_.clear();
    }
}

bool AnswersFile::Commit(QString* error) {
    if (!written_ || file_.device().write(out_) != out_.size()) {
        *error = QStringLiteral("「%1」に書きこめません（%2）").arg(file_.path(), file_.device().errorString());
        return false;
    }
    return file_.Commit(error);
}

bool ExportCsv(const QSqlDatabase& db, const ReportFilter& filter, const QString& path,
               QString* error) {
    AnswersFile file(path);
    if (!file.Open(error)) return false;
    QByteArray where;
    std::vector<QByteArray> values;
    auto add = [&](const char* condition, const QString& value = QString()) {
        where += where.isEmpty() ? " where " : " and ";
        where += condition;
        if (!value.isNull()) values.push_back(value.toUtf8());
    };
    if (filter.pupil) {
        if (filter.pupil->isEmpty() || *filter.pupil == record::kGuestName)
            add("h.pupil_id is null");
        else
            add("h.pupil_id = (select id from pupils where name = ?)", *filter.pupil);
    }
    if (filter.topic) add("h.topic = ?", QString::number(TopicNumber(*filter.topic)));
    if (filter.from) add("h.answered_at >= ?", filter.from->toString(Qt::ISODate));
    if (filter.to) add("h.answered_at < ?", filter.to->addDays(1).toString(Qt::ISODate));
    // A record file that does not exist yet holds no answers: the header alone.
    sqlite3* handle = Handle(db);
    const Statement q(handle, "select h.id, h.pupil_id, p.name, h.answered_at, h.topic, h.mode,"
                              " h.menu_choice, h.drill_id, h.question_no, h.problem, h.right_answer,"
                              " h.entered_answer, h.correct, h.seconds, h.error_kind, h.error_step,"
                              " h.worked_rows from history h left join pupils p on p.id = h.pupil_id" +
                                  where + " order by h.id");
    if (handle && !q.get()) {
        *error = QStringLiteral("きろくを読めません（%1）").arg(QString::fromUtf8(sqlite3_errmsg(handle)));
        return false;
    }
    for (size_t i = 0; q.get() && i < values.size(); ++i)
        sqlite3_bind_text(q.get(), int(i + 1), values[i].constData(), int(values[i].size()), SQLITE_TRANSIENT);

    const QByteArray guest = record::kGuestName.toUtf8();
    std::array<QByteArray, AnswersFile::kAnswerCells> cells;
    int step = q.get() ? sqlite3_step(q.get()) : SQLITE_DONE;
    for (; step == SQLITE_ROW; step = sqlite3_step(q.get())) {
        // Each cell's text without a copy; valid until the next step.
        for (int c = 0; c < AnswersFile::kAnswerCells; ++c)
            cells[c] = QByteArray::fromRawData(reinterpret_cast<const char*>(sqlite3_column_text(q.get(), c)),
                                               sqlite3_column_bytes(q.get(), c));
        if (sqlite3_column_type(q.get(), 1) == SQLITE_NULL) cells[2] = guest;
        file.Add(cells);
    }
    if (step != SQLITE_DONE && step != SQLITE_ROW) {
        *error = QStringLiteral("きろくを読めません（%1）").arg(QString::fromUtf8(sqlite3_errmsg(handle)));
        return false;
    }
    if (!file.Commit(error)) return false;
    // The levels go into a file of their own beside it: the answers file
    // stays one table of answers.
    return ExportLevelsCsv(db, filter.pupil, LevelsCsvPath(path), error);
}

}  // namespace sorelka::report
