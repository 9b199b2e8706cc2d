#pragma once

namespace sorelka {

// The sound cues, by what they tell the pupil. The numbers are the cue
// files' numbers (see CueFileName): "pipo" is 11, "pinpon" 14. The files
// 1 to 10, 15, 18 and 20 are loaded with the others but no screen plays them.
enum class Cue : unsigned {
    Choice = 11,   // pipo: a digit, an item or an action chosen
    Begin = 12,    // poon: a screen opens, a drill starts, a problem is handed on
    Wrong = 13,    // bubuu: the answer is wrong
    Right = 14,    // pinpon: the answer is right
    Welcome = 16,  // charararan: the program is ready, a second after it starts
    Step = 17,     // bun: a row confirmed or cleared, a drill's time chosen
    Score = 19,    // chararan: a drill's score line is shown
};

// Right or wrong, as a cue.
constexpr Cue VerdictCue(bool right) { return right ? Cue::Right : Cue::Wrong; }

}  // namespace sorelka
