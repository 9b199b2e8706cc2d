#include "report/roster_command.h"

#include "core/services.h"
#include "record/record_store.h"
#include "record/roster_import.h"
#include "report/export_command.h"

namespace sorelka::report {

namespace {

// Messages of the store (a damaged file set aside …) go to standard error.
class ErrorDialogs : public Dialogs {
public:
    explicit ErrorDialogs(QTextStream& err) : err_(err) {}
    void ShowMessage(const std::string& text) override { Say(text); }
    void ShowInformation(const std::string& text) override { Say(text); }
    Answer AskYesNo(const std::string& text) override {
        Say(text);
        return Answer::No;
    }

private:
    void Say(const std::string& text) { err_ << QString::fromStdString(text) << Qt::endl; }
    QTextStream& err_;
};

}  // namespace

std::optional<exchange::Roster> ReadRosterOrTell(const QString& path, QTextStream& err) {
    exchange::RosterRead read = exchange::ReadRoster(path);
    if (const auto* problem = std::get_if<exchange::RosterProblem>(&read)) {
        err << QStringLiteral("sorelka: 名簿を読みこめません。何も書きかえていません。") << Qt::endl
            << problem->Text() << Qt::endl;
        return std::nullopt;
    }
    return std::move(std::get<exchange::Roster>(read));
}

int ImportRosterCommand(const QString& path, const QString& record_path, QTextStream& out, QTextStream& err) {
    const std::optional<exchange::Roster> roster = ReadRosterOrTell(path, err);
    if (!roster) return kExitNotWritten;
    ErrorDialogs dialogs(err);
    record::RecordStore store(record_path, dialogs, nullptr, record::RecordStore::CheckMode::Synchronous);
    record::RosterImported done;
    QString refusal;
    if (!record::ImportRoster(store, *roster, &done, &refusal)) {
        err << QStringLiteral("sorelka: ") << refusal << Qt::endl;
        return kExitNotWritten;
    }
    if (!store.Flush()) {
        err << QStringLiteral("sorelka: 記録のファイルにまだ書きこめません。名簿は次にプログラムを起動したときに入ります。")
            << Qt::endl;
        return kExitNotWritten;
    }
    out << done.Text() << Qt::endl;
    return 0;
}

}  // namespace sorelka::report
