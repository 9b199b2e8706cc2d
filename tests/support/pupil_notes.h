#pragma once

// Every note the practice panels show for the buggy pupils of the diagnosis
// property tests, worked on the real models over seeded draws: what the
// explanation tests read and what the text-fit test lays out in the panels.

#include <map>
#include <string>
#include <vector>

#include "core/diagnosis_note.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_pupils.h"
#include "division/division_diagnosis.h"
#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_pupils.h"
#include "rules/rules_cells.h"
#include "rules/rules_diagnosis.h"
#include "support/division_pupil.h"
#include "support/fakes.h"
#include "support/rules_pupil.h"

namespace sorelka::testing {

// Notes by their text: one of each, with the kind's label as the panel shows
// it and the habit line (the longest form of each).
using PupilNotes = std::map<std::string, DiagnosisNote>;

inline void AddNote(PupilNotes& notes, const Diagnosis& d, const std::string& label) {
    if (!d) return;
    const DiagnosisNote note{*d, label, true};
    notes.emplace(note.Text(), note);
}

// Division: each of the division pupil's mistakes, in every round.
inline PupilNotes DivisionPupilNotes(int draws) {
    namespace dp = division_pupil;
    SeededRandom random{20261209};
    FakeCuePlayer cues;
    FakeDialogs dialogs;
    division::LongDivision model(cues, dialogs, random);
    PupilNotes notes;
    for (int i = 0; i < draws; ++i) {
        model.NewProblem(i % 3 + 1);
        const division::DivisionProblem problem = model.problem();
        for (const dp::BugCase& b : dp::kBugs)
            for (int round = 1; round <= 3; ++round) {
                const auto entries = dp::Pupil(problem, b.bug, round);
                if (!entries) continue;
                model.ApplyAction(Action::Clear);
                dp::Enter(model, *entries);
                const Diagnosis d = division::DiagnoseDivision(problem, division::DivisionStoredRows(model.worksheet()));
                if (d) AddNote(notes, d, division::DivisionKindLabel(d->kind));
            }
        cues.clear();
    }
    return notes;
}

// Decimals: the pupils who forget the carry, keep the lender, swap digits or
// slip in one column, on every number of places.
inline PupilNotes DecimalPupilNotes(decimals::Operation operation, int draws) {
    using namespace decimals;
    SeededRandom random{20261209};
    PupilNotes notes;
    for (int i = 0; i < draws; ++i)
        for (auto pupil : {pupils::Pupil::ForgetsCarry, pupils::Pupil::KeepsLender,
                           pupils::Pupil::Swaps, pupils::Pupil::ColumnSlip}) {
            const DecimalProblem problem = DrawProblem(operation, random, i % 3 + 1);
            const pupils::Worked worked = pupils::Work(pupil, operation, problem, random.engine());
            const int entered = ReadAnswer(worked.digits, problem.places);
            const Diagnosis d =
                DiagnoseDecimal(operation, problem, pupils::FinishedRows(problem, entered));
            if (d) AddNote(notes, d, DecimalKindLabel(d->kind));
        }
    return notes;
}

// Rules: every mistake of the rules pupil, in either round, on all four menus.
inline PupilNotes RulesPupilNotes(int draws) {
    namespace rp = rules_pupil;
    SeededRandom random{20261209};
    FakeCuePlayer cues;
    FakeDialogs dialogs;
    rp::Hooks hooks;
    rules::CalculationSteps steps(dialogs, cues, hooks);
    hooks.steps = &steps;
    PupilNotes notes;
    for (int i = 0; i < draws; ++i) {
        rules::ExpressionProblem p;
        rules::GenerateProblem(i % 4 + 1, random, p);
        hooks.expected = p.expected_answer;
        for (const rp::BugCase& b : rp::kBugs)
            for (int round = 0; round <= 1; ++round) {
                if (!rp::HasPlace(b.bug, p)) continue;
                steps.ClearColumnArea();
                if (!rp::Pupil(steps, b.bug, round).Work(p)) continue;
                const Diagnosis d = rules::DiagnoseRules(p, rules::RulesWorkedRows(steps.worksheet()));
                if (!d) continue;
                // Labelled as the practice labels it: the kind inside the
                // calculation where one is named.
                const std::string inner = rules::RulesKindLabel(rules::StepField(d->step, "kind"));
                AddNote(notes, d, inner.empty() ? rules::RulesKindLabel(d->kind) : inner);
            }
        cues.clear();
        dialogs.shown.clear();
    }
    return notes;
}

// Fractions: each pupil on each of the three families.
inline PupilNotes FractionPupilNotes(int draws) {
    using namespace fractions;
    SeededRandom random{20261209};
    PupilNotes notes;
    for (int i = 0; i < draws; ++i)
        for (int family = 1; family <= 3; ++family)
            for (auto pupil : {pupils::Pupil::LeavesImproper, pupils::Pupil::ForgetsTimesDenominator,
                               pupils::Pupil::WrongWhole, pupils::Pupil::ChangesDenominator,
                               pupils::Pupil::NumeratorSlip}) {
                const auto problem = DrawFractionProblem(family, Variant::Practice, random);
                if (!problem) continue;
                const FractionEntry entry = pupils::Work(pupil, family, *problem);
                const Diagnosis d = DiagnoseFraction(family, Variant::Practice, *problem,
                                                     pupils::FinishedRows(family, *problem, entry));
                if (d) AddNote(notes, d, FractionKindLabel(d->kind));
            }
    return notes;
}

}  // namespace sorelka::testing
