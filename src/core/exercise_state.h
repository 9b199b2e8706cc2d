#pragma once

namespace sorelka {

// The one set of exercise values the whole program shares. The main menu owns
// it and every screen holds a reference, so a menu item chosen on one screen is
// still the current choice on the next one, and the drill counters belong to
// whichever drill ran last.
struct ExerciseState {
    int menu_choice = 0;          // menu item last chosen on any screen, 1-based; 0 at start
    int question_count = 0;       // questions set in the current drill, the shown one included
    int correct_count = 0;        // questions judged right in the current drill
    bool score_sheet_shown = false;
};

}  // namespace sorelka
