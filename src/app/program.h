#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "core/app_context.h"

class QSettings;
class QWidget;

namespace sorelka {

class DrillLog;
class RecordedAnswers;
namespace record {
class LearningRecord;
class RecordStore;
}
namespace sync {
class ClassSync;
}
class ExerciseScreen;
class MainMenuWindow;
class MyRecordWindow;
class RecommendedScreens;
class TeacherWindow;
class WorkRunner;
namespace report {
class TeacherPin;
}

// The whole program's object graph, built in start-up order: the record file
// and its drill log (DataModule1), then the forms TForm1 (the main menu) to TForm11. Everything lives
// until the program ends. main() builds it with the real services; tests build
// it with fakes.
class Program {
public:
    static QString DefaultSystemFolder();
    // database_path: the drill log's SQLite file (DrillLog::DefaultPath() in the program);
    // system_folder: where the system's Sorelka/Sorelka.conf is read from
    // (record::SystemConfigFolder() in the program).
    Program(AppContext& ctx, const QString& database_path, QString system_folder = DefaultSystemFolder());
    ~Program();

    MainMenuWindow* main_window() const { return main_window_.get(); }
    DrillLog& drill_log() const { return *drill_log_; }
    record::RecordStore& record_store() const { return *record_; }
    // The roster, the current pupil and the history of every answer.
    record::LearningRecord& learning_record() const { return *learning_; }
    // Sends the record to the school's server: nullptr when Sorelka.conf
    // names none. Its status() and config() serve the teacher's view.
    sync::ClassSync* class_sync() const { return sync_.get(); }
    // Opens PupilDialog over the active window until a pupil is chosen.
    void ChoosePupil();
    // "きろく" → "じぶんのきろく…": the current pupil's own record, built when first opened.
    void OpenOwnRecord();
    // "きろく" → "先生用…": the PIN, then the teacher's view, built when first opened.
    void OpenTeacherView();
    // "おすすめ" and "れんしゅうする": the screen the recommender picks, in
    // recommended mode until it closes.
    void OpenRecommended(const std::string& focus);
    RecommendedScreens& recommended() const { return *recommended_; }
    // "かだい": the work the teacher gave, run on the practice screens.
    WorkRunner& work() const { return *work_; }
    MyRecordWindow* own_record_window() const { return own_record_.get(); }
    TeacherWindow* teacher_window() const { return teacher_.get(); }
    report::TeacherPin& teacher_pin();
    // TForm1 … TForm11 in the order they were created.
    const std::vector<QWidget*>& forms() const { return forms_; }
    // TForm2 … TForm11.
    const std::vector<ExerciseScreen*>& screens() const { return screens_; }

private:
    AppContext& ctx_;
    std::unique_ptr<record::RecordStore> record_;
    std::unique_ptr<sync::ClassSync> sync_;
    std::unique_ptr<DrillLog> drill_log_;
    std::unique_ptr<record::LearningRecord> learning_;
    std::unique_ptr<RecordedAnswers> answers_;
    std::unique_ptr<MainMenuWindow> main_window_;
    std::unique_ptr<RecommendedScreens> recommended_;
    std::unique_ptr<WorkRunner> work_;
    // Tells the class server which form is on screen (none without a server).
    std::unique_ptr<QObject> presence_;
    std::unique_ptr<MyRecordWindow> own_record_;
    std::unique_ptr<QSettings> settings_;
    // Read only: where the administrator sets the PIN and the server.
    QString system_folder_;
    std::unique_ptr<QSettings> system_settings_;
    std::unique_ptr<report::TeacherPin> pin_;
    std::unique_ptr<TeacherWindow> teacher_;
    std::vector<QWidget*> forms_;
    std::vector<ExerciseScreen*> screens_;
};

// The folder of the running executable, ending in "/".
std::string ExecutableFolder();

// Names the application "Sorelka" (its window class and data folder) with the
// desktop file "sorelka", whose entry gives the name the desktop shows,
// "Sorelkaドリル". Title bars show each window's caption alone.
void NameApplication();

}  // namespace sorelka
