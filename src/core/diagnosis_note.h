#pragma once

#include <optional>
#include <string>

#include "core/finding.h"
#include "core/topic.h"

namespace sorelka {

class LearningRecorder;

// The line the practice panel adds when the pupil has made this kind of
// mistake again lately.
inline constexpr const char* kHabitLine = "おなじ まちがいが つづいているよ！";

// What a practice screen shows beside its worksheet after "×": the finding,
// the label of its kind, and whether that kind is one of the pupil's habits.
struct DiagnosisNote {
    Finding finding;
    std::string label;  // empty when the topic has none for the kind
    bool habit = false;

    // The panel's text: the label on its own line, the explanation, and the
    // habit line when it applies. Lines are separated by "\n".
    std::string Text() const;
};

// The note of a wrong answer's diagnosis (none for none). `label` names the
// finding's kind; the habit is looked up through `recorder` (none: no habit)
// for the pupil now answering, after the answer has been recorded.
std::optional<DiagnosisNote> NoteOf(const Diagnosis& diagnosis, std::string label,
                                    LearningRecorder* recorder, Topic topic);

}  // namespace sorelka
