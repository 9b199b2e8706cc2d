// What the record store tells the user, in Japanese. Where a teacher can
// help, the message says what to tell the teacher.
#include <QDir>
#include <QFileInfo>

#include "record/record_store.h"

namespace sorelka::record {

namespace {

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

const QString kGoOn = QStringLiteral("ドリルは このまま続けられます。");
const QString kKeptForLater = QStringLiteral("答えは のこしておいて、あとで 書きこみます。");

}  // namespace

QString TroubleText(Trouble trouble, const TroubleFacts& facts) {
    const QString file = Native(facts.path);
    switch (trouble) {
        case Trouble::Broken:
            return QStringLiteral(
                       "記録のファイルが こわれていたので、新しいファイルを作りました。\n"
                       "前のファイルは 「%1」 に のこしてあります。\n"
                       "これからの答えは いつものように記録されます。")
                .arg(Native(facts.set_aside_as));
        case Trouble::Busy:
            return QStringLiteral("記録のファイル 「%1」 を ほかのプログラムが使っているので、"
                                  "答えを まだ書きこめません。\n")
                       .arg(file) +
                   kKeptForLater + kGoOn;
        case Trouble::Full:
            return QStringLiteral("ディスクが いっぱいで、答えを 記録のファイルに書きこめません。\n") +
                   kKeptForLater + kGoOn +
                   QStringLiteral("\n先生に「ディスクが いっぱい」と つたえてください。");
        case Trouble::Unwritable:
            return QStringLiteral("記録のファイル 「%1」 に書きこめません（書きこみが ゆるされていません）。\n")
                       .arg(file) +
                   kKeptForLater + kGoOn +
                   QStringLiteral("\n先生に「記録のファイルに 書きこめない」と つたえてください。");
        case Trouble::CannotOpen:
            return QStringLiteral("記録のファイル 「%1」 を ひらけません。\n").arg(file) + kKeptForLater +
                   kGoOn +
                   QStringLiteral("\n先生に「記録のファイルが ひらけない」と つたえてください。"
                                  "（ほかの ユーザーの ファイルが のこっているかもしれません）");
        case Trouble::DiskError:
            return QStringLiteral("記録のファイル 「%1」 を 読み書きするときに エラーが おきました。\n")
                       .arg(file) +
                   kKeptForLater + kGoOn +
                   QStringLiteral("\n先生に「記録のファイルで 読み書きの エラーが おきた」と つたえてください。");
        case Trouble::UpgradeFailed:
            return QStringLiteral("記録のファイル 「%1」 を この版の Sorelka の形に できませんでした。"
                                  "ファイルは そのまま のこしてあります。\n")
                       .arg(file) +
                   kKeptForLater + kGoOn +
                   QStringLiteral("\n先生に「記録のファイルを 新しい形に できない」と つたえてください。");
        case Trouble::NewerVersion:
            return QStringLiteral("記録のファイル 「%1」 は、新しい版の Sorelka で作られています。\n"
                                  "この版では 読むだけにして、今回の答えは ファイルに書きこみません。")
                .arg(file);
        case Trouble::NoFolder:
            return QStringLiteral("記録のフォルダー 「%1」 を作れません。\n")
                       .arg(Native(QFileInfo(facts.path).absolutePath())) +
                   kKeptForLater + kGoOn;
        case Trouble::NoDriver:
            return QStringLiteral("記録に使う SQLite の部品が ありません。答えは 記録されません。\n") + kGoOn;
        case Trouble::KeptForNextStart:
            return QStringLiteral("まだ 記録のファイルに 書きこめていない 答えが %1こ あります。\n"
                                  "答えは のこしてあるので、つぎに Sorelka を はじめたときに 書きこみます。")
                .arg(facts.waiting);
        case Trouble::NotKept:
            return QStringLiteral("記録のファイルに 書きこめなかった 答えが %1こ あります。"
                                  "この答えは のこせませんでした。\n"
                                  "先生に「記録のファイルに 書きこめない」と つたえてください。")
                .arg(facts.waiting);
    }
    return QString();
}

}  // namespace sorelka::record
