#pragma once

// Fakes of the services, for model and screen tests alike (no Qt here).

#include <deque>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/cue_deck.h"
#include "core/services.h"

namespace sorelka::testing {

// Records every cue asked for and whether it would have sounded.
class FakeCuePlayer final : public CuePlayer {
public:
    struct Call {
        unsigned cue;
        bool audible;
        bool operator==(const Call&) const = default;
    };
    void PlayCue(Cue cue) override { calls.push_back({static_cast<unsigned>(cue), enabled}); }
    void SetSoundEnabled(bool on) override { enabled = on; }
    bool SoundEnabled() const override { return enabled; }

    std::vector<unsigned> cues() const {
        std::vector<unsigned> out;
        for (const Call& c : calls) out.push_back(c.cue);
        return out;
    }
    std::vector<unsigned> audible_cues() const {
        std::vector<unsigned> out;
        for (const Call& c : calls)
            if (c.audible) out.push_back(c.cue);
        return out;
    }
    void clear() { calls.clear(); }

    bool enabled = false;
    std::vector<Call> calls;
};

// Records every message box and answers confirmations from a script
// (No when the script is empty, so a forgotten answer never ends a test run).
class FakeDialogs final : public Dialogs {
public:
    enum class Kind { Message, Information, Question };
    struct Shown {
        Kind kind;
        std::string text;
    };
    void ShowMessage(const std::string& text) override { shown.push_back({Kind::Message, text}); }
    void ShowInformation(const std::string& text) override {
        shown.push_back({Kind::Information, text});
    }
    Answer AskYesNo(const std::string& text) override {
        shown.push_back({Kind::Question, text});
        if (answers.empty()) return Answer::No;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Shown& s : shown) out.push_back(s.text);
        return out;
    }

    std::deque<Answer> answers;
    std::vector<Shown> shown;
};

class FakeClock final : public Clock {
public:
    LocalTime Now() const override { return now; }
    void Set(int hour, int minute, int second) {
        now.hour = hour;
        now.minute = minute;
        now.second = second;
        now.millisecond = 0;
    }
    // Sub-second steps, for the seconds an answer took.
    void Advance(int milliseconds) {
        const int total = ((now.hour * 60 + now.minute) * 60 + now.second) * 1000 +
                          now.millisecond + milliseconds;
        now.millisecond = total % 1000;
        now.second = total / 1000 % 60;
        now.minute = total / 60000 % 60;
        now.hour = total / 3600000 % 24;
    }
    LocalTime now{2026, 12, 8, 13, 23, 0, 0, 540};
};

// A real generator that re-seeding leaves alone, so a run repeats draw for
// draw: for many draws over the real generators.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(unsigned seed) : engine_(seed) {}
    void Randomize() override {}
    int Random(int n) override {
        return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(engine_);
    }
    std::mt19937& engine() { return engine_; }

private:
    std::mt19937 engine_;
};

// Gives the least (0) or the most (n - 1) of every draw: the draws whose
// retries then all fail, for their fallbacks and their worst times.
class ExtremeRandom final : public RandomSource {
public:
    explicit ExtremeRandom(bool highest) : highest_(highest) {}
    void Randomize() override {}
    int Random(int n) override { return highest_ && n > 0 ? n - 1 : 0; }

private:
    bool highest_;
};

// Feeds a fixed sequence of draws. A draw that does not fit Random(n) is a
// mistake in the test and throws; an empty script gives 0 and counts it.
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<int> draws) { Feed(draws); }
    void Feed(const std::vector<int>& draws) { script.insert(script.end(), draws.begin(), draws.end()); }
    void Randomize() override { ++randomize_calls; }
    int Random(int n) override {
        asked.push_back(n);
        if (script.empty()) {
            ++unscripted;
            return 0;
        }
        const int v = script.front();
        script.pop_front();
        if (v < 0 || v >= n) throw std::out_of_range("scripted draw outside Random(n)");
        return v;
    }

    std::deque<int> script;
    std::vector<int> asked;  // the n of every Random(n), in order
    int randomize_calls = 0;
    int unscripted = 0;
};

// A sound backend that keeps a log of what it was asked to do.
class FakeSoundBackend final : public SoundBackend {
public:
    bool Load(const std::string& path) override {
        loaded.push_back(path);
        return !missing.count(path.substr(path.find_last_of('/') + 1));
    }
    void Play(const std::string& path) override { log.push_back("play " + Short(path)); }
    void Stop(const std::string& path) override { log.push_back("stop " + Short(path)); }

    static std::string Short(const std::string& path) {
        return path.substr(path.find_last_of('/') + 1);
    }

    std::set<std::string> missing;  // file names (e.g. "bubuu.wav") that fail to load
    std::vector<std::string> loaded;
    std::vector<std::string> log;
};

// One shared context made of fakes.
struct FakeServices {
    FakeCuePlayer cues;
    FakeDialogs dialogs;
    FakeClock clock;
    ScriptedRandom random;
    int quit_requests = 0;
    AppContext ctx{{}, cues, dialogs, clock, random, "/nonexistent/", [this] { ++quit_requests; }};
};

}  // namespace sorelka::testing
