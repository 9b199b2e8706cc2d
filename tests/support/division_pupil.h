#pragma once

#include <optional>
#include <string>
#include <vector>

#include "division/division_diagnosis.h"
#include "division/long_division.h"

// Pupils who write long divisions on the division worksheet: entries as a
// pupil makes them, and the school method with one chosen mistake. Shared by
// the diagnosis tests and benchmarks.
namespace sorelka::testing::division_pupil {

using namespace sorelka::division;

// What a pupil enters, one confirmed row at a time: a quotient digit in the
// list of its place, a number in the rows below, or "飛ばし".
struct Entry {
    enum What { Digit, Number, Skip } what;
    int value = 0;
    int place = 1;
};
using Entries = std::vector<Entry>;
inline Entry Q(int place, int digit) { return {Entry::Digit, digit, place}; }
inline Entry N(int value) { return {Entry::Number, value}; }
inline Entry Skip() { return {Entry::Skip}; }

// Enters `entries` into the model, confirming every row, then "終わり".
inline void Enter(LongDivision& model, const Entries& entries) {
    for (const Entry& e : entries) {
        if (e.what == Entry::Skip) {
            model.ApplyAction(kSkip);
            continue;
        }
        if (e.what == Entry::Digit) {
            // "十の位を選んでね！": the pupil chooses the digit again in the tens.
            if (model.ChooseDigit(e.place, e.value) == DigitOutcome::Refused)
                model.ChooseDigit(kTens, e.value);
        } else {
            bool started = false;
            for (int place = kThousands; place >= kOnes; --place) {
                const int digit = e.value / (place == 4 ? 1000 : place == 3 ? 100 : place == 2 ? 10 : 1) % 10;
                if (digit != 0 || started || place == kOnes) {
                    model.ChooseDigit(place, digit);
                    started = true;
                }
            }
        }
        model.ApplyAction(kConfirm);
    }
    model.ApplyAction(kFinish);
}

enum class Bug { None, TooBig, TooSmall, ZeroMissing, Product, Difference, BringDown, PlaceLeft, PlaceRight };

struct BugCase {
    Bug bug;
    const char* name;
    const char* kind;  // what the diagnosis should name
};
inline const BugCase kBugs[] = {
    {Bug::TooBig, "digit one too big", kQuotientTooBig},
    {Bug::TooSmall, "digit one too small", kQuotientTooSmall},
    {Bug::ZeroMissing, "0 not written", kZeroMissing},
    {Bug::Product, "product off by one", kProductSlip},
    {Bug::Difference, "difference off by one", kDifferenceSlip},
    {Bug::BringDown, "digit not brought down", kBringDown},
    {Bug::PlaceLeft, "first digit a place left", kQuotientPlace},
    {Bug::PlaceRight, "first digit a place right", kQuotientPlace},
};

// A pupil who works the long division by the school method, making the one
// mistake `bug` in round `bug_round` (1-based); after it they carry on with
// their own numbers as well as they can. Returns the entries, or nothing when
// the mistake has no place in this problem.
inline std::optional<Entries> Pupil(const DivisionProblem& p, Bug bug, int bug_round) {
    const std::string s = std::to_string(p.dividend);
    const int n = static_cast<int>(s.size());
    const int d = p.divisor;
    Entries out;
    int pos = 0;
    int part = 0;
    while (pos < n && part < d) part = part * 10 + (s[pos++] - '0');
    bool applied = bug == Bug::None;
    const int rounds = [&] {  // nonzero quotient digits
        int r = 0;
        for (char c : std::to_string(p.quotient)) r += c != '0';
        return r;
    }();
    for (int round = 1; round <= 3; ++round) {
        const bool here = round == bug_round;
        int q = part / d;
        if (q > 9) break;  // the pupil's own numbers went astray
        if (bug == Bug::PlaceRight && here && round == rounds && p.quotient % 10 != 0 && round > 1) {
            applied = true;
            break;  // the places ran out one digit early
        }
        if (bug == Bug::TooBig && here && q < 9) ++q, applied = true;
        if (bug == Bug::TooSmall && here && q > 0) --q, applied = true;
        out.push_back(Q(n - pos + 1, q));
        int product = q * d;
        if (bug == Bug::Product && here) product += product > 0 ? -1 : 1, applied = true;
        out.push_back(N(product));
        int diff = part - product;
        if (diff < 0) {  // too big: the pupil takes the smaller from the larger and stops
            out.push_back(N(-diff));
            break;
        }
        if (bug == Bug::Difference && here) diff += diff > 0 ? -1 : 1, applied = true;
        if (bug == Bug::BringDown && here && pos < n) {
            out.push_back(N(diff));  // nothing brought down; the pupil stops there
            applied = true;
            break;
        }
        int value = diff;
        while (pos < n) {
            value = value * 10 + (s[pos++] - '0');
            if (value >= d) break;
            if (bug == Bug::ZeroMissing && !applied) {
                applied = true;  // no 0 in the quotient, the next digit comes down
                continue;
            }
            out.push_back(Skip());
        }
        if (value > 9999) break;
        out.push_back(N(value));
        if (value < d) break;
        part = value;
    }
    if (bug == Bug::PlaceLeft) {
        out.push_back(Skip());
        applied = true;
    }
    if (!applied) return std::nullopt;
    return out;
}

}  // namespace sorelka::testing::division_pupil
