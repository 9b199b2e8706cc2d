#include "exchange/curriculum_codes.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace sorelka::exchange {

QStringList CurriculumCodes::For(int topic, int item) const {
    QStringList codes = codes_.value(qint64(topic) * 1000);
    if (item > 0) codes += codes_.value(qint64(topic) * 1000 + item);
    return codes;
}

std::variant<CurriculumCodes, RosterProblem> ReadCurriculumCodes(const QString& path) {
    RosterProblem problem;
    const std::vector<CsvRecord> records = ReadCsvFile(path, &problem);
    if (!problem.what.isEmpty()) return problem;
    const QString file = QFileInfo(path).fileName();
    auto refuse = [&](int line, const QString& field, const QString& what) {
        return RosterProblem{file, line, field, what};
    };
    if (records.empty()) return refuse(0, QString(), QStringLiteral("見出しの行がありません。"));
    // The header names the columns, in Japanese or English, in any order.
    const QStringList header = records.front().fields;
    auto column = [&](const QString& ja, const QString& en) {
        for (qsizetype i = 0; i < header.size(); ++i) {
            const QString name = header[i].trimmed();
            if (name == ja || name.compare(en, Qt::CaseInsensitive) == 0) return int(i);
        }
        return -1;
    };
    const int topic_at = column(QStringLiteral("単元"), QStringLiteral("topic"));
    const int item_at = column(QStringLiteral("項目"), QStringLiteral("item"));
    const int code_at = column(QStringLiteral("コード"), QStringLiteral("code"));
    for (auto [at, name] : {std::pair{topic_at, "単元"}, std::pair{item_at, "項目"}, std::pair{code_at, "コード"}})
        if (at < 0) return refuse(records.front().line, QString::fromUtf8(name), QStringLiteral("この列がありません。"));
    // A code of the curriculum: sixteen characters, digits and letters, and
    // the katakana that name an item's parts ("82202631ア0000000").
    static const QRegularExpression code_form(QStringLiteral("^[0-9A-Za-z\\x{30A1}-\\x{30FA}]{16}$"));
    CurriculumCodes codes;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (record.fields.size() == 1 && record.fields[0].trimmed().isEmpty()) continue;
        const QString topic_text = record.fields.value(topic_at).trimmed();
        const QString item_text = record.fields.value(item_at).trimmed();
        const QString code = record.fields.value(code_at).trimmed();
        bool ok = false;
        const int topic = topic_text.toInt(&ok);
        if (!ok || topic < 1 || topic > 99)
            return refuse(record.line, QStringLiteral("単元"), QStringLiteral("単元の番号（1〜7）を書いてください。"));
        int item = 0;
        if (!item_text.isEmpty()) {
            item = item_text.toInt(&ok);
            if (!ok || item < 1 || item > 99)
                return refuse(record.line, QStringLiteral("項目"), QStringLiteral("項目の番号を書くか、空にしてください。"));
        }
        if (!code_form.match(code).hasMatch())
            return refuse(record.line, QStringLiteral("コード"),
                          QStringLiteral("学習指導要領コード（16文字）ではありません: %1").arg(code));
        QStringList& list = codes.codes_[qint64(topic) * 1000 + item];
        if (!list.contains(code)) list << code;
    }
    return codes;
}

}  // namespace sorelka::exchange
