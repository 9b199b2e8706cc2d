// The screenshots tool's pictures of the decimal division's screens.
#include <QTemporaryDir>

#include "app/program.h"
#include "decimal_division/decimal_division_bugs.h"
#include "decimal_division/decimal_division_drill_screen.h"
#include "decimal_division/decimal_division_layout.h"
#include "decimal_division/decimal_division_practice_screen.h"
#include "tools/screenshots.h"

using namespace sorelka;
using namespace sorelka::testing;

namespace {

using namespace decimal_division;

ExerciseScreen* ScreenNamed(Program& program, const char* name) {
    for (ExerciseScreen* s : program.screens())
        if (s->objectName() == QLatin1String(name)) return s;
    return nullptr;
}

void Act(QWidget* s, SheetAction action) { Pick(s, kActionListName, static_cast<int>(action)); }

// A digit in the list of the long division's column `column` (1 … 4).
void Digit(QWidget* s, int column, int digit) { Pick(s, kDigitListNames[kDigitLists - column], digit); }

// One input of the written decimal division, picked in its list (a
// quotient digit and a number confirmed).
void Enter(QWidget* s, const DecimalDivisionInput& input) {
    using What = DecimalDivisionInput::What;
    switch (input.what) {
        case What::Division: {
            const division::DivisionInput& d = input.division;
            switch (d.what) {
                case division::DivisionInput::Digit:
                    Digit(s, d.place, d.value);
                    Act(s, SheetAction::Confirm);
                    return;
                case division::DivisionInput::Skip: Act(s, SheetAction::Skip); return;
                case division::DivisionInput::Finish: Act(s, SheetAction::Finish); return;
                case division::DivisionInput::Number:
                case division::DivisionInput::Tried: {
                    const std::string number = std::to_string(d.value);
                    for (std::size_t i = 0; i < number.size(); ++i)
                        Digit(s, static_cast<int>(number.size() - i), number[i] - '0');
                    if (d.what == division::DivisionInput::Number) Act(s, SheetAction::Confirm);
                    return;
                }
            }
            return;
        }
        case What::AppendZero: Act(s, SheetAction::AppendZero); return;
        case What::QuotientPoint: Pick(s, kPointListName, input.value - 1); return;
        case What::RemainderPoint: Pick(s, kRemainderPointListName, input.value - 1); return;
        case What::OnesZero: Act(s, SheetAction::OnesZero); return;
        case What::StartRounded: Act(s, SheetAction::StartRounded); return;
        case What::RoundedDigit: Digit(s, input.place, input.value); return;
        case What::Finish: Act(s, SheetAction::Finish); return;
    }
}

// `inputs` from `from` on entered one by one, then "終わり"; with `to`,
// only up to it.
void Work(QWidget* s, const DecimalDivisionInputs& inputs, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    for (std::size_t i = from; i < inputs.size() && i < to; ++i) Enter(s, inputs[i]);
    if (to >= inputs.size()) Act(s, SheetAction::Finish);
}

}  // namespace

// The decimal division: each menu item's problem half worked and finished,
// a wrong answer with its diagnosis, and a drill of five questions with its
// score sheet. Named TForm14-<item>-working/finished, TForm14-diagnosis,
// TForm15-drill, TForm15-stopped, TForm15-score-sheet.
void DecimalDivision(FakeServices& services) {
    SeededRandom random{71};
    AppContext ctx{{}, services.cues, services.dialogs, services.clock, random, services.ctx.exe_folder, [] {}};
    QTemporaryDir data;
    Program program(ctx, data.path() + "/kyozai.db");
    auto* practice = static_cast<DecimalDivisionPracticeScreen*>(ScreenNamed(program, "TForm14"));
    practice->ShowModeless();
    for (int item = 0; item < kMenuItems; ++item) {
        Pick(practice, "ComboBox1", item);
        const DecimalDivisionInputs inputs = RightWorkInputs(practice->model().steps().problem());
        const std::size_t half = inputs.size() * 2 / 3;
        Work(practice, inputs, 0, half);
        Save(practice, QStringLiteral("TForm14-%1-working").arg(item + 1));
        Work(practice, inputs, half);
        Save(practice, QStringLiteral("TForm14-%1-finished").arg(item + 1));
    }
    // Dividing on, stopped at the dividend's last digit.
    Pick(practice, "ComboBox1", kDivideOnMenu - 1);
    const DecimalDivisionPupilCase stops{DecimalDivisionPupil::StopsEarly, division::DivisionBug::None, kStoppedEarly};
    Work(practice, InputsOf(stops, practice->model().steps().problem(), random).value_or(DecimalDivisionInputs{}));
    Save(practice, "TForm14-diagnosis");
    // A remainder read as a whole number.
    Pick(practice, "ComboBox1", kRemainderMenu - 1);
    const DecimalDivisionPupilCase whole{DecimalDivisionPupil::RemainderWhole, division::DivisionBug::None,
                                         kRemainderPoint};
    Work(practice, InputsOf(whole, practice->model().steps().problem(), random).value_or(DecimalDivisionInputs{}));
    Save(practice, "TForm14-diagnosis-remainder");
    practice->hide();

    auto* drill = static_cast<DecimalDivisionDrillScreen*>(ScreenNamed(program, "TForm15"));
    drill->ShowModeless();
    services.clock.Set(13, 23, 0);
    Pick(drill, "ComboBox1", kRemainderMenu - 1);
    Pick(drill, "ComboBox9", 1);
    Press(drill, "CuteButton3");
    for (int q = 1; q <= 5; ++q) {
        if (q > 1) Press(drill, "CuteButton4");
        const DecimalDivisionProblem problem = drill->steps().problem();
        const DecimalDivisionInputs inputs =
            q == 4 ? InputsOf(whole, problem, random).value_or(DecimalDivisionInputs{}) : RightWorkInputs(problem);
        const std::size_t shown = q == 5 ? inputs.size() - 2 : 0;
        if (q == 5) {
            Work(drill, inputs, 0, shown);
            Save(drill, "TForm15-drill");
        }
        Work(drill, inputs, shown);
    }
    services.clock.Set(13, 27, 12);
    Press(drill, "CuteButton5");
    Save(drill, "TForm15-stopped");
    Press(drill, "CuteButton6");
    Save(drill, "TForm15-score-sheet");
    drill->hide();
}
