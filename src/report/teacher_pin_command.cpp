#include <QFile>
#include <termios.h>
#include <unistd.h>

#include "report/export_command.h"
#include "report/teacher_pin.h"

namespace sorelka::report {

namespace {

// Hides what is typed on the terminal while it lives.
class HiddenTyping {
public:
    explicit HiddenTyping(bool terminal) {
        if (!terminal || ::tcgetattr(STDIN_FILENO, &saved_) != 0) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        hidden_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~HiddenTyping() {
        if (hidden_) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

private:
    termios saved_{};
    bool hidden_ = false;
};

}  // namespace

int SetTeacherPinCommand(QTextStream& in, QTextStream& out, QTextStream& err, QSettings& system, bool terminal) {
    auto refuse = [&](const QString& why, int code) {
        err << QStringLiteral("sorelka: ") << why << Qt::endl;
        return code;
    };
    if (!system.isWritable())
        return refuse(QStringLiteral("%1 に書きこめません。書きこめる管理者（root）として実行してください。")
                          .arg(system.fileName()),
                      kExitNotWritten);
    QString typed[2];
    {
        const HiddenTyping hidden(terminal);
        const QString prompts[2] = {QStringLiteral("先生用のPIN（数字４けた）: "), QStringLiteral("もう一度: ")};
        for (int i = 0; i < 2; ++i) {
            err << prompts[i] << Qt::flush;
            typed[i] = in.readLine();
            if (terminal) err << Qt::endl;  // the Enter that was not shown
        }
    }
    if (!TeacherPin::FourDigits(typed[0]))
        return refuse(QStringLiteral("PINは数字４けたにしてください。PINは変わっていません。"), kExitBadArgument);
    if (typed[0] != typed[1])
        return refuse(QStringLiteral("２回目が１回目とちがいます。PINは変わっていません。"), kExitBadArgument);
    system.setValue(QStringLiteral("teacher/pin"), TeacherPin::Hash(typed[0]));
    system.sync();
    if (system.status() != QSettings::NoError)
        return refuse(QStringLiteral("%1 に書きこめません。").arg(system.fileName()), kExitNotWritten);
    // Every user's program reads it (each pupil's program checks the PIN
    // itself); only its owner writes it.
    QFile::setPermissions(system.fileName(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    out << QStringLiteral("先生用のPINを %1 に設定しました。").arg(system.fileName()) << Qt::endl;
    return 0;
}

}  // namespace sorelka::report
