#include "record/class_roster.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "app/pupil_dialog.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "support/screen_support.h"

namespace sorelka {
namespace {

using testing::FakeDialogs;

// A file of the layout before classes, with two pupils: they are in one
// class named "クラス" after the upgrade, and the pupil choice looks as before.
TEST(ClassRoster, AnOlderFilesPupilsAreInOneClass) {
    QTemporaryDir folder;
    const QString path = folder.filePath("kyozai.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlError error;
        ASSERT_TRUE(db.transaction());
        ASSERT_TRUE(record::ApplyLayoutSteps(db, 0, &error, 6)) << error.text().toStdString();
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("insert into pupils (name) values ('はなこ'), ('たろう')"));
        ASSERT_TRUE(q.exec("pragma user_version = 6"));
        ASSERT_TRUE(db.commit());
        db.close();
    }
    QSqlDatabase::removeDatabase("old");
    FakeDialogs dialogs;
    record::RecordStore store(path, dialogs, nullptr);
    record::LearningRecord learning(store);
    record::ClassRoster classes(store);
    EXPECT_EQ(classes.Classes(), QStringList{"クラス"});
    EXPECT_EQ(classes.ThisPcClass(), "");
    ASSERT_EQ(classes.PupilsByClass().size(), 1u);
    EXPECT_EQ(classes.PupilsByClass()[0].pupils, (QStringList{"はなこ", "たろう"}));

    PupilDialog dialog(learning, nullptr);
    EXPECT_EQ(dialog.findChildren<QLabel*>(QRegularExpression("^ClassHeading")).size(), 0);
    EXPECT_EQ(testing::Find<QWidget>(&dialog, "PupilButton2")->toolTip(), "たろう");
}

// The teacher's changes to classes, with what each refuses; the PC's class
// takes new pupils and comes first in the pupil choice, each class under
// its name.
TEST(ClassRoster, ClassesAreAddedRenamedRemovedAndPupilsMoved) {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    record::RecordStore store(folder.filePath("kyozai.db"), dialogs, nullptr);
    record::LearningRecord learning(store);
    record::ClassRoster classes(store);
    learning.AddPupil("はなこ");
    struct Step {
        const char* what;
        std::function<QString()> act;
        QString refusal;
    };
    const Step steps[] = {
        {"add", [&] { return classes.AddClass(" 4年1組 "); }, ""},
        {"add again", [&] { return classes.AddClass("4年1組"); }, "「4年1組」というクラスは、もうあります。"},
        {"add nothing", [&] { return classes.AddClass("　"); }, "クラスの名前を入れてください。"},
        {"add too long", [&] { return classes.AddClass(QString(21, QChar(u'組'))); }, "クラスの名前は20文字までです。"},
        {"add another", [&] { return classes.AddClass("4年2組"); }, ""},
        {"move", [&] { return classes.MovePupil("はなこ", "4年2組"); }, ""},
        {"move nowhere", [&] { return classes.MovePupil("はなこ", "5年1組"); }, "「5年1組」というクラスは ありません。"},
        {"remove a class with a pupil", [&] { return classes.RemoveClass("4年2組"); },
         "「4年2組」には まだ 1人います。先に ほかのクラスへ移してください。"},
        {"rename", [&] { return classes.RenameClass("4年2組", "4年3組"); }, ""},
        {"rename onto another", [&] { return classes.RenameClass("4年3組", "4年1組"); },
         "「4年1組」というクラスは、もうあります。"},
        {"remove an empty class", [&] { return classes.RemoveClass("クラス"); }, ""},
    };
    for (const Step& step : steps) EXPECT_EQ(step.act(), step.refusal) << step.what;
    EXPECT_EQ(classes.Classes(), (QStringList{"4年1組", "4年3組"}));
    EXPECT_EQ(classes.ClassOf("はなこ"), "4年3組") << "renaming the class took its pupil along";

    EXPECT_EQ(classes.ClassForNewPupils(), "4年1組") << "no class set: the first";
    classes.SetThisPcClass("4年3組");
    learning.AddPupil("たろう");
    classes.SetThisPcClass("4年1組");
    learning.AddPupil("じろう");
    EXPECT_EQ(classes.ClassOf("たろう"), "4年3組");
    EXPECT_EQ(classes.ThisPcClass(), "4年1組");
    const auto groups = classes.PupilsByClass();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].class_name, "4年1組") << "the PC's class first";
    EXPECT_EQ(groups[1].pupils, (QStringList{"はなこ", "たろう"}));
    EXPECT_EQ(classes.RemoveClass("4年1組").isEmpty(), false);

    PupilDialog dialog(learning, nullptr);
    EXPECT_EQ(testing::LabelText(&dialog, "ClassHeading1"), "4年1組");
    EXPECT_EQ(testing::Find<QWidget>(&dialog, "PupilButton1")->toolTip(), "じろう");
    EXPECT_EQ(testing::Find<QWidget>(&dialog, "PupilButton3")->toolTip(), "たろう");
}

}  // namespace
}  // namespace sorelka
