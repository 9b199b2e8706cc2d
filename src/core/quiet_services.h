#pragma once

#include <string>

#include "core/app_context.h"
#include "core/services.h"

// Services for a step machine that runs out of the pupil's sight (a worked
// example worked through ahead of showing it): no sound, no message box, a
// clock that stands still and no draws. What such a run does must never
// reach the pupil except through the worksheet it leaves.
namespace sorelka {

class SilentCues final : public CuePlayer {
public:
    void PlayCue(Cue) override {}
    void SetSoundEnabled(bool) override {}
    bool SoundEnabled() const override { return false; }
};

class SilentDialogs final : public Dialogs {
public:
    void ShowMessage(const std::string&) override {}
    void ShowInformation(const std::string&) override {}
    // Nothing is asked: the answer that changes least.
    Answer AskYesNo(const std::string&) override { return Answer::Closed; }
};

class StillClock final : public Clock {
public:
    LocalTime Now() const override { return {}; }
};

class NoDraws final : public RandomSource {
public:
    void Randomize() override {}
    int Random(int) override { return 0; }
};

// An AppContext of the quiet services, for models that take one.
struct QuietContext {
    SilentCues cues;
    SilentDialogs dialogs;
    StillClock clock;
    NoDraws random;
    AppContext ctx{{}, cues, dialogs, clock, random, "", {}};

    QuietContext() = default;
    QuietContext(const QuietContext&) = delete;
    QuietContext& operator=(const QuietContext&) = delete;
};

}  // namespace sorelka
