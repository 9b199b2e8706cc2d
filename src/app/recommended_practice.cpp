#include "app/recommended_practice.h"

#include <QLabel>
#include <variant>

#include "core/app_context.h"
#include "decimal_division/decimal_division_practice_screen.h"
#include "decimals/decimal_practice_screen.h"
#include "division/division_practice_screen.h"
#include "fractions/fraction_practice_screen.h"
#include "multiplication/multiplication_practice_screen.h"
#include "rules/rules_practice_screen.h"
#include "widgets/accessibility.h"
#include "widgets/exercise_screen.h"
#include "widgets/look.h"
#include "widgets/practice_screen.h"

namespace sorelka {

namespace {

const QColor kFocusColour{0x00, 0x6B, 0x3C};

PupilSkills SkillsNow(AppContext& ctx) { return ctx.recorder ? ctx.recorder->Skills() : PupilSkills{}; }

coach::CoachRequest RequestFor(AppContext& ctx, std::optional<Topic> within, const std::string& focus) {
    coach::CoachRequest request;
    request.today = DayOf(ctx.clock.Now());
    request.within = within;
    request.focus = focus;
    return request;
}

// A screen's entry for a given problem, when the problem is of its kind.
template <class Screen, class Problem>
RecommendedPractice::ShowProblem Shows(ExerciseScreen* screen) {
    auto* typed = dynamic_cast<Screen*>(screen);
    if (!typed) return {};
    return [typed](const coach::TopicProblem& problem, int menu_choice) {
        if (const auto* p = std::get_if<Problem>(&problem)) typed->ShowGivenProblem(*p, menu_choice);
    };
}

// A practice screen's entry for a given problem of its topic; none for a
// screen of another kind.
RecommendedPractice::ShowProblem ShowsOn(ExerciseScreen* screen, Topic topic) {
    switch (topic) {
        case Topic::Division:
            return Shows<division::DivisionPracticeScreen, division::DivisionProblem>(screen);
        case Topic::DecimalAddition:
        case Topic::DecimalSubtraction:
            return Shows<decimals::DecimalPracticeScreen, decimals::DecimalProblem>(screen);
        case Topic::Rules:
            return Shows<rules::RulesPracticeScreen, rules::ExpressionProblem>(screen);
        case Topic::Fractions:
            return Shows<FractionPracticeScreen, fractions::FractionProblem>(screen);
        case Topic::DecimalMultiplication:
            return Shows<multiplication::MultiplicationPracticeScreen, multiplication::MultiplicationProblem>(screen);
        case Topic::DecimalDivision:
            return Shows<decimal_division::DecimalDivisionPracticeScreen, decimal_division::DecimalDivisionProblem>(
                screen);
    }
    return {};
}

}  // namespace

RecommendedPractice::RecommendedPractice(AppContext& ctx, ExerciseScreen& screen, Topic topic,
                                         QRect line_place, ShowProblem show)
    : ctx_(ctx), topic_(topic), show_(std::move(show)) {
    line_ = new QLabel(&screen);
    line_->setObjectName(QStringLiteral("PracticeFocus"));
    line_->setFont(SchoolFont(20, true));
    SetTextColour(line_, kFocusColour);
    line_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    line_->setGeometry(line_place);
    line_->hide();
}

bool RecommendedPractice::Next() {
    const coach::Recommendation pick =
        coach::Recommend(SkillsNow(ctx_), RequestFor(ctx_, topic_, focus_), ctx_.random);
    focus_ = pick.focus;
    show_(pick.problem, pick.menu_choice);
    line_->show();
    Announce(line_, QString::fromStdString(coach::FocusLine(pick.line_skill)));
    return true;
}

void RecommendedPractice::Judged(bool right) {
    // The right answer's own cue sounds with the line.
    if (right && coach::ReachedA(SkillsNow(ctx_), focus_)) Announce(line_, QString::fromUtf8(coach::kMasteredLine));
}

void RecommendedPractice::Left() {
    line_->hide();
    focus_.clear();
}

void RecommendedScreens::Add(ExerciseScreen* screen, Topic topic) {
    auto* practice = dynamic_cast<PracticeScreen*>(screen);
    RecommendedPractice::ShowProblem show = ShowsOn(screen, topic);
    if (!practice || !show) return;
    for (const Entry& e : entries_)
        if (e.topic == topic) return;  // one screen per topic
    entries_.push_back({screen, topic,
                        std::make_unique<RecommendedPractice>(ctx_, *screen, topic, practice->focus_line_place(),
                                                              show),
                        show});
}

coach::Recommendation RecommendedScreens::Pick(const std::string& focus) const {
    return coach::Recommend(SkillsNow(ctx_), RequestFor(ctx_, std::nullopt, focus), ctx_.random);
}

RecommendedScreens::Place RecommendedScreens::PlaceOf(Topic topic) const {
    for (const Entry& e : entries_)
        if (e.topic == topic) return {e.screen, e.guide.get(), e.show};
    return {};
}

ExerciseScreen* RecommendedScreens::Open(const std::string& focus) {
    const coach::Recommendation pick = Pick(focus);
    for (Entry& e : entries_) {
        if (e.topic != pick.topic) continue;
        e.guide->StartOn(pick.focus);
        e.screen->SetGuide(e.guide.get());
        e.screen->ShowModal();
        if (e.screen->guide()) {
            e.screen->SetGuide(nullptr);
            e.guide->Left();
        }
        return e.screen;
    }
    return nullptr;
}

RecommendedPractice* RecommendedScreens::guide_of(const ExerciseScreen* screen) const {
    for (const Entry& e : entries_)
        if (e.screen == screen) return e.guide.get();
    return nullptr;
}

}  // namespace sorelka
