#pragma once

// The vocabulary of the fraction worksheet: what each cell is in the written
// conversion. The models key their worksheets by these roles; the screens'
// layout table (fraction_layout) says which widget shows a role and where,
// and the record's table (fraction_cells) the name a role is stored under.
namespace sorelka::fractions {

// A slot of a written fraction: the whole part left of the bar, the
// numerator over it, the denominator under it.
enum class FractionSlot { Whole, Numerator, Denominator };

// The two numbers of the worksheet: the given one left of "＝", the answer
// right of it.
enum class FractionNumber { Given, Answer };

// The role of a slot of a number: "given whole", "answer numerator" …
constexpr const char* SlotRole(FractionNumber number, FractionSlot slot) {
    const bool given = number == FractionNumber::Given;
    switch (slot) {
        case FractionSlot::Whole: return given ? "given whole" : "answer whole";
        case FractionSlot::Numerator: return given ? "given numerator" : "answer numerator";
        case FractionSlot::Denominator: return given ? "given denominator" : "answer denominator";
    }
    return "";
}
// The role of a slot of the answer, the pupil's work.
constexpr const char* AnswerRole(FractionSlot slot) { return SlotRole(FractionNumber::Answer, slot); }
// The bar of a number, shown while the number has a fraction part.
constexpr const char* BarRole(FractionNumber number) {
    return number == FractionNumber::Given ? "given bar" : "answer bar";
}

inline constexpr const char* kEqualsRole = "equals";  // "＝" between the numbers
// The practice's own: the task line ("□を求めなさい。"), the mark ("○"/"×")
// and the prompt line. On the drill they belong to the drill machinery.
inline constexpr const char* kTaskRole = "task";
inline constexpr const char* kMarkRole = "mark";
inline constexpr const char* kPromptRole = "prompt";
// The lists the pupil writes with (visibility only): the tens and ones
// digits of a number and the action list that drops it into a slot.
inline constexpr const char* kTensListRole = "list tens";
inline constexpr const char* kOnesListRole = "list ones";
inline constexpr const char* kActionListRole = "list action";

}  // namespace sorelka::fractions
