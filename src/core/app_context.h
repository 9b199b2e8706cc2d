#pragma once

#include <functional>
#include <string>

#include "core/exercise_state.h"
#include "core/learning_recorder.h"
#include "core/services.h"

namespace sorelka {

// What every screen is handed: the shared exercise state and the services.
// The program fills it with the real services, tests with fakes.
struct AppContext {
    ExerciseState state;
    CuePlayer& cues;
    Dialogs& dialogs;
    Clock& clock;
    RandomSource& random;
    // Folder of the running executable, ending in a path separator.
    std::string exe_folder;
    // Ends the whole program (all windows close, the message loop stops).
    std::function<void()> quit;
    // The learning record every judged problem goes to (none: nothing is recorded).
    LearningRecorder* recorder = nullptr;
    // Lets the pupil choose who is answering (the pupil dialog in the program).
    std::function<void()> choose_pupil;
    // Opens the current pupil's own record, and the teacher's view behind its PIN.
    std::function<void()> open_own_record;
    std::function<void()> open_teacher_view;
    // Opens recommended practice: the practice screen the recommender picks
    // for the pupil, starting on the skill `focus` when one is given.
    std::function<void(const std::string& focus)> open_recommended;
};

// Asks `question` with Yes and No; every answer but No ends the program.
// Returns true when the program is ending.
inline bool ConfirmQuit(AppContext& ctx, const std::string& question) {
    if (ctx.dialogs.AskYesNo(question) == Answer::No) return false;
    if (ctx.quit) ctx.quit();
    return true;
}

}  // namespace sorelka
