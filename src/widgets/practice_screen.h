#pragma once

#include <QPixmap>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "widgets/exercise_screen.h"
#include "widgets/look.h"

class QLabel;

namespace sorelka {

class ChoiceList;
class CuteButton;
class DiagnosisPanel;
class MistakeFinder;
class WorkedExamplePlayer;

// The two pencils beside the practice screens' prompt lines: tilted by 45°,
// the tip down to the left or up to the right.
enum class PencilTip { DownLeft, UpRight };
// A yellow pencil, writing, 64 × 64.
QPixmap PencilPicture(PencilTip tip);

// What one practice screen states differently from the others: the frame
// around its worksheet (title, menu, picture, prompt line, buttons, status
// bar). Places are screen pixels.
// A topic's practice menu (TopicInfo::practice_menu) as the frame shows it.
QStringList MenuTexts(const std::vector<std::string>& items);

struct PracticeFrame {
    QSize size{955, 716};
    QString title;  // Label1
    int title_pixels = 30;
    QRect title_place;
    // The menu ComboBox1: left, top and width (its height follows the items).
    QString menu_heading;
    QRect menu_place;
    QStringList menu_items;
    QString picture_name = QStringLiteral("Image1");
    // Draws the picture; it is drawn when the screen is first shown.
    std::function<QPixmap()> picture;
    QRect picture_place;
    // The prompt line Label2, red; long hints take a second line where it wraps.
    QRect prompt_place;
    bool prompt_wraps = false;
    QString first_prompt;
    // "次へ" (its slot is the screen's own), "目次" and "終る".
    QString next_name = QStringLiteral("CuteButton4");
    QColor next_colour = kPracticeGreen;
    QRect next_place;
    QRect back_place;
    QString quit_caption = QStringLiteral("終る");
    QRect quit_place;
    QString quit_question = QStringLiteral("終わってもいいの？");
    int status_height = 24;
    // Where recommended practice names the skill being practised: between
    // the title and the problem, clear of the menu and the worksheet.
    QRect focus_line_place;
};

// The frame every practice screen shares: the title, the menu, the picture,
// the prompt line, "次へ", "目次" and "終る", the status bar and its clock;
// and the glue of the example modes "お手本" and "まちがいさがし" around the
// diagnosis panel. A topic screen derives from it, builds its worksheet,
// then the frame (BuildFrame), connects the menu and "次へ" to its own
// slots, creates the diagnosis panel and calls AddExampleModes().
class PracticeScreen : public ExerciseScreen {
    Q_OBJECT
public:
    PracticeScreen(AppContext& ctx, const QString& name, const QString& caption, PracticeFrame frame,
                   QWidget* parent);
    ~PracticeScreen() override;

    const QRect& focus_line_place() const { return frame_.focus_line_place; }

public slots:
    void QuitPressed();        // "終る"
    void BackToMenuPressed();  // "目次"

protected:
    // Builds the frame's widgets. The screen calls it once the widgets of its
    // worksheet exist, so that they are painted first, as they always were.
    void BuildFrame();

    // Where the example modes' buttons stand, and the screen's own widgets
    // besides the prompt and the menu that the examples' sheets leave alone
    // (the mark, the problem line); `go_on` is the prompt once a
    // find-the-mistake example is answered. Needs panel_.
    struct ExampleModes {
        QRect worked_example_place;
        QRect find_mistake_place;
        QLabel* mark = nullptr;
        QStringList kept;
        std::string go_on;
    };
    void AddExampleModes(ExampleModes modes);
    // "お手本": the right work of the problem just judged wrong, replayed.
    virtual void ShowWorkedExample() = 0;
    // "まちがいさがし" (and "次へ" while one shows): an example of the menu
    // item worked with one mistake.
    virtual void ShowMistakeExample() = 0;
    // Back to the pupil's own worksheet from a replay or an example; nothing
    // when neither shows.
    void LeaveExampleModes();
    // The pupil's own menu choice: recommended practice and the example
    // modes give way.
    void LeaveGuideAndExamples();
    // "次へ" while a find-the-mistake example shows brings another example:
    // true. Otherwise the example modes end and the screen goes on: false.
    bool NextBringsAnotherExample();
    // The screen shows its model again once an example has gone;
    // `after_mistake_example`: the example was one to find the mistake in.
    virtual void ShowOwnWork(bool after_mistake_example) = 0;

    // The frame's widgets, for the screen's own handlers.
    QLabel* prompt_ = nullptr;
    ChoiceList* menu_ = nullptr;
    CuteButton* next_ = nullptr;
    // The explanation of a wrong answer; the screen creates it in the rooms
    // its worksheet leaves free.
    DiagnosisPanel* panel_ = nullptr;
    WorkedExamplePlayer* player_ = nullptr;
    MistakeFinder* finder_ = nullptr;

private:
    PracticeFrame frame_;
};

}  // namespace sorelka
