// The screenshots tool's pictures of the decimal multiplication's screens.
#include <QTemporaryDir>

#include "app/program.h"
#include "multiplication/multiplication_bugs.h"
#include "multiplication/multiplication_drill_screen.h"
#include "multiplication/multiplication_layout.h"
#include "multiplication/multiplication_practice_screen.h"
#include "tools/screenshots.h"

using namespace sorelka;
using namespace sorelka::testing;

namespace {

// One input of the written multiplication, picked in its list.
void EnterMultiplication(QWidget* s, const multiplication::MultiplicationInput& input) {
    using namespace multiplication;
    using What = MultiplicationInput::What;
    switch (input.what) {
        case What::Digit: Pick(s, kDigitListNames[kColumns - 1 - input.column], input.value); return;
        case What::Point: Pick(s, kPointListName, input.value - 1); return;
        case What::Confirm: Pick(s, kActionListName, 0); return;
        case What::StrikeZero: Pick(s, kActionListName, 1); return;
        case What::OnesZero: Pick(s, kActionListName, 2); return;
        case What::Clear: Pick(s, kActionListName, 3); return;
        case What::Finish: Pick(s, kActionListName, 4); return;
    }
}

// `work` entered input by input; with `leave_out`, the last inputs not yet.
void WorkMultiplication(QWidget* s, const multiplication::MultiplicationWork& work, std::size_t leave_out = 0) {
    const multiplication::MultiplicationInputs inputs = multiplication::InputsOf(work);
    for (std::size_t i = 0; i + leave_out < inputs.size(); ++i) EnterMultiplication(s, inputs[i]);
}

}  // namespace

// The decimal multiplication: each menu item's problem half worked and
// finished, a wrong answer with its diagnosis, and a drill of five
// questions with its score sheet. Named TForm12-<item>-working/finished,
// TForm12-diagnosis, TForm13-drill, TForm13-score-sheet.
void Multiplication(FakeServices& services) {
    using namespace multiplication;
    SeededRandom random{61};
    AppContext ctx{{}, services.cues, services.dialogs, services.clock, random, services.ctx.exe_folder, [] {}};
    QTemporaryDir data;
    Program program(ctx, data.path() + "/kyozai.db");
    auto* practice = static_cast<MultiplicationPracticeScreen*>(program.screens()[10]);
    practice->ShowModeless();
    for (int item = 0; item < kMenuItems; ++item) {
        Pick(practice, "ComboBox1", item);
        // The 0s item with 0s to strike (2.5 × 4 = 10.0 → 10).
        for (int tries = 0; item == kZerosMenu - 1 && tries < 50 &&
                            RightWork(practice->model().steps().problem()).struck == 0;
             ++tries)
            Press(practice, "CuteButton4");
        const MultiplicationWork work = RightWork(practice->model().steps().problem());
        // Stopped before the point is put: the point, the 0s and "終わり" to come.
        std::size_t to_come = 1 + (work.point ? 1 : 0) + (work.ones_zero ? 1 : 0) + std::size_t(work.struck);
        WorkMultiplication(practice, work, to_come);
        Save(practice, QStringLiteral("TForm12-%1-working").arg(item + 1));
        WorkMultiplication(practice, work);
        Save(practice, QStringLiteral("TForm12-%1-finished").arg(item + 1));
    }
    // A two-digit multiplier with the second row not shifted.
    Pick(practice, "ComboBox1", 1);
    const MultiplicationProblem problem = practice->model().steps().problem();
    WorkMultiplication(practice, WorkOf(MultiplicationPupil::DoesNotShift, problem, random));
    Save(practice, "TForm12-diagnosis");
    practice->hide();

    ExerciseScreen* drill = program.screens()[11];
    drill->ShowModeless();
    services.clock.Set(13, 23, 0);
    Pick(drill, "ComboBox1", 1);
    Pick(drill, "ComboBox8", 1);
    Press(drill, "CuteButton3");
    auto* steps = &static_cast<MultiplicationDrillScreen*>(drill)->steps();
    for (int q = 1; q <= 5; ++q) {
        if (q > 1) Press(drill, "CuteButton4");
        const MultiplicationWork work =
            q == 4 ? WorkOf(MultiplicationPupil::ForgetsPoint, steps->problem(), random) : RightWork(steps->problem());
        if (q == 5) {
            WorkMultiplication(drill, work, 3);
            Save(drill, "TForm13-drill");
        }
        WorkMultiplication(drill, work);
    }
    services.clock.Set(13, 27, 12);
    Press(drill, "CuteButton5");
    Save(drill, "TForm13-stopped");
    Press(drill, "CuteButton6");
    Save(drill, "TForm13-score-sheet");
    drill->hide();
}

