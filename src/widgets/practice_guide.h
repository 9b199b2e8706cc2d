#pragma once

// Someone who picks a practice screen's problems in place of its menu's own
// draw (recommended practice). The screen hands it each moment that matters:
// shown, a new problem wanted, an answer judged, the pupil's own menu choice.
namespace sorelka {

class PracticeGuide {
public:
    virtual ~PracticeGuide() = default;
    // The screen was shown afresh: choose its menu item, show the first problem.
    virtual void Begin() = 0;
    // "次へ": shows the next problem; false leaves the draw to the screen.
    virtual bool Next() = 0;
    // An answer was judged (and recorded).
    virtual void Judged(bool right) = 0;
    // The pupil chose from the screen's own menu: the guide lets go.
    virtual void Left() = 0;
};

}  // namespace sorelka
