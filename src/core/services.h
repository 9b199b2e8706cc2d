#pragma once

#include <string>

#include "core/cue.h"

// Small interfaces for everything the program takes from the outside world:
// sound, message boxes, the time of day and random numbers. The program uses
// the Qt implementations; tests swap in fakes so every reaction can be checked
// without a sound card, a blocking dialog or a real clock.
namespace sorelka {

class CuePlayer {
public:
    virtual ~CuePlayer() = default;
    // Plays the cue and returns at once; a cue still sounding is cut off.
    // A value outside 1..20 plays the previous cue's file again.
    virtual void PlayCue(Cue cue) = 0;
    // Cues requested while sound is disabled are prepared but stay silent.
    virtual void SetSoundEnabled(bool enabled) = 0;
    virtual bool SoundEnabled() const = 0;
};

enum class Answer { Yes, No, Closed };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A plain message box with OK.
    virtual void ShowMessage(const std::string& text) = 0;
    // A message box with the information icon and OK.
    virtual void ShowInformation(const std::string& text) = 0;
    // A confirmation with a question icon, Yes and No. Closing the box any
    // other way gives Answer::Closed.
    virtual Answer AskYesNo(const std::string& text) = 0;
};

struct LocalTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    // Minutes the local time is ahead of UTC (540 in Japan).
    int utc_offset_minutes = 0;

    bool operator==(const LocalTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Re-seeds the generator; called before every problem is drawn.
    virtual void Randomize() = 0;
    // A uniform whole number from 0 to n - 1 (0 when n <= 0).
    virtual int Random(int n) = 0;
};

}  // namespace sorelka
