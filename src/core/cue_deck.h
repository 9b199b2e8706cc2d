#pragma once

#include <set>
#include <string>

#include "core/services.h"

namespace sorelka {

// The relative path of cue n's file ("oto/pipo.wav" for 11); empty outside 1..20.
std::string CueFileName(unsigned n);

// Where the sound data goes: a Qt implementation in the program, a recording
// fake in tests.
class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    // Prepares a file for playing; false when it is missing or cannot be read.
    virtual bool Load(const std::string& path) = 0;
    // Starts a loaded file and returns at once.
    virtual void Play(const std::string& path) = 0;
    // Silences a file that may still be sounding.
    virtual void Stop(const std::string& path) = 0;
};

// The program's cue player. Every cue file is loaded once when the deck is
// made, so a call does no file work. One cue sounds at a time: a new one cuts
// off the one still sounding. A file that could not be loaded is reported once,
// in a message box, and the caller carries on.
class CueDeck final : public CuePlayer {
public:
    // exe_folder ends with a path separator.
    CueDeck(std::string exe_folder, SoundBackend& backend, Dialogs& dialogs);

    void PlayCue(Cue cue) override;
    void SetSoundEnabled(bool enabled) override { sound_enabled_ = enabled; }
    bool SoundEnabled() const override { return sound_enabled_; }

    // The file the next out-of-range cue number would play again.
    const std::string& current_file() const { return current_file_; }

private:
    std::string exe_folder_;
    SoundBackend& backend_;
    Dialogs& dialogs_;
    bool sound_enabled_ = false;
    std::string current_file_;   // full path of the last cue asked for
    std::string sounding_file_;  // full path of the last cue started
    std::set<std::string> unloadable_;
    std::set<std::string> reported_;
};

}  // namespace sorelka
