#include "core/diagnosis_note.h"

#include <algorithm>

#include "core/learning_recorder.h"

namespace sorelka {

std::string DiagnosisNote::Text() const {
    std::string text;
    if (!label.empty()) text = "【" + label + "】";
    if (!finding.explanation.empty()) {
        if (!text.empty()) text += '\n';
        text += finding.explanation;
    }
    if (habit) {
        if (!text.empty()) text += '\n';
        text += kHabitLine;
    }
    return text;
}

std::optional<DiagnosisNote> NoteOf(const Diagnosis& diagnosis, std::string label,
                                    LearningRecorder* recorder, Topic topic) {
    if (!diagnosis) return std::nullopt;
    DiagnosisNote note{*diagnosis, std::move(label), false};
    if (recorder) {
        const std::vector<std::string> habits = recorder->Habits(topic);
        note.habit = std::find(habits.begin(), habits.end(), diagnosis->kind) != habits.end();
    }
    return note;
}

}  // namespace sorelka
