// Where the installed program keeps its drill log: in the user's data folder,
// never beside the executable (which is read-only once installed).
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "app/program.h"
#include "drill/drill_log.h"
#include "support/fakes.h"

namespace sorelka {
namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (had_) qputenv(name_, old_);
        else qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// The program's names for one scope, as main() sets them.
class NamedAsTheProgram {
public:
    NamedAsTheProgram()
        : name_(QGuiApplication::applicationName()),
          desktop_(QGuiApplication::desktopFileName()) {
        NameApplication();
    }
    ~NamedAsTheProgram() {
        QGuiApplication::setApplicationName(name_);
        QGuiApplication::setDesktopFileName(desktop_);
    }

private:
    QString name_, desktop_;
};

TEST(DataFolder, DrillLogIsCreatedInTheUsersDataFolderOnFirstUse) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    NamedAsTheProgram named;
    const QString data = scratch.path() + "/data";
    ScopedEnv data_env("XDG_DATA_HOME", data);

    const QString path = DrillLog::DefaultPath();
    EXPECT_EQ(path, data + "/Sorelka/kyozai.db");
    EXPECT_FALSE(path.startsWith(QString::fromStdString(ExecutableFolder())));

    testing::FakeDialogs dialogs;
    DrillLog log(path, dialogs);
    EXPECT_FALSE(QFileInfo::exists(path)) << "nothing is written before a drill";
    ASSERT_TRUE(log.ClearDrillLog());
    ASSERT_TRUE(log.AppendDrillRow({1, " 84 ÷ 4", "21", "21", "○", 0, 0}));
    EXPECT_TRUE(QFileInfo(path).isFile()) << "the missing folder was made";
    EXPECT_EQ(log.Rows().size(), 1u);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace sorelka
