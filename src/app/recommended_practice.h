#pragma once

#include <QRect>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "coach/recommender.h"
#include "widgets/practice_guide.h"

class QLabel;

namespace sorelka {

class ExerciseScreen;
struct AppContext;

// Recommended practice on one practice screen: every new problem comes from
// the recommender, for the pupil's mastery as the record keeps it, and the
// line `PracticeFocus` names the skill being practised, or says it has been
// mastered after the answer that got it to A.
class RecommendedPractice final : public PracticeGuide {
public:
    // Shows a problem of the screen's topic as menu item `menu_choice` would.
    using ShowProblem = std::function<void(const coach::TopicProblem& problem, int menu_choice)>;

    RecommendedPractice(AppContext& ctx, ExerciseScreen& screen, Topic topic, QRect line_place,
                        ShowProblem show);

    // The skill to practise first (empty: the recommender's choice).
    void StartOn(std::string focus) { focus_ = std::move(focus); }
    const std::string& focus() const { return focus_; }

    void Begin() override { Next(); }
    bool Next() override;
    void Judged(bool right) override;
    void Left() override;

private:
    AppContext& ctx_;
    Topic topic_;
    ShowProblem show_;
    QLabel* line_;
    std::string focus_;
};

// The practice screens that recommended practice can open, one per topic,
// each with its guide.
class RecommendedScreens {
public:
    explicit RecommendedScreens(AppContext& ctx) : ctx_(ctx) {}

    // Makes `screen` (a practice screen of `topic`) one recommended practice
    // can open; screens of other kinds are left out.
    void Add(ExerciseScreen* screen, Topic topic);

    // Opens the practice screen of the topic the recommender picks (within
    // the pupil's mastery, starting on `focus` when given) in recommended
    // mode, until the screen closes. The screen opened.
    ExerciseScreen* Open(const std::string& focus = {});

    RecommendedPractice* guide_of(const ExerciseScreen* screen) const;

    // A topic's practice screen with its guide and its entry for a given
    // problem (work the teacher gave runs on it); null screen for a topic
    // without one.
    struct Place {
        ExerciseScreen* screen = nullptr;
        RecommendedPractice* guide = nullptr;
        RecommendedPractice::ShowProblem show;
    };
    Place PlaceOf(Topic topic) const;
    // The recommender's pick across every topic for the pupil now answering.
    coach::Recommendation Pick(const std::string& focus = {}) const;

private:
    AppContext& ctx_;
    struct Entry {
        ExerciseScreen* screen;
        Topic topic;
        std::unique_ptr<RecommendedPractice> guide;
        RecommendedPractice::ShowProblem show;
    };
    std::vector<Entry> entries_;
};

}  // namespace sorelka
