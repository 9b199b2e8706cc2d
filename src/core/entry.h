#pragma once

// What a pupil does on a worksheet, in the models' words. The screens turn
// their lists' items into these (the action lists hold separators between
// the actions, and each topic orders its digit lists its own way); the step
// machines never see a list position or a widget.
namespace sorelka {

// An item of an action list.
enum class Action {
    Confirm,  // " 確定": the row being written is done
    Skip,     // "飛ばし": a 0 goes into the quotient
    Clear,    // "クリア": the rows written so far are taken back
    Finish,   // "終わり": the answer is handed in
};

// The place value of a digit list, from the thousands to the thousandths.
enum class Place { Thousands, Hundreds, Tens, Ones, Tenths, Hundredths, Thousandths };

// The judgement of an answer handed in.
enum class Verdict { Wrong, Right };

constexpr bool IsRight(Verdict v) { return v == Verdict::Right; }
constexpr Verdict VerdictOf(bool right) { return right ? Verdict::Right : Verdict::Wrong; }

}  // namespace sorelka
