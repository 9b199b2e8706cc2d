#include "division/division_bugs.h"

#include <string>

namespace sorelka::division {

void Feed(LongDivision& model, const DivisionInput& input) {
    switch (input.what) {
        case DivisionInput::What::Skip:
            model.ApplyAction(kSkip);
            return;
        case DivisionInput::What::Finish:
            model.ApplyAction(kFinish);
            return;
        case DivisionInput::What::Digit:
            // "十の位を選んでね！": the pupil chooses the digit again in the tens.
            if (model.ChooseDigit(input.place, input.value) == DigitOutcome::Refused)
                model.ChooseDigit(kTens, input.value);
            break;
        case DivisionInput::What::Number: {
            bool started = false;
            for (int place = kThousands, scale = 1000; place >= kOnes; --place, scale /= 10) {
                const int digit = input.value / scale % 10;
                if (digit != 0 || started || place == kOnes) {
                    model.ChooseDigit(place, digit);
                    started = true;
                }
            }
            break;
        }
    }
    model.ApplyAction(kConfirm);
}

void EnterAndFinish(LongDivision& model, const DivisionInputs& inputs) {
    for (const DivisionInput& input : inputs) Feed(model, input);
    model.ApplyAction(kFinish);
}

std::optional<DivisionInputs> WorkDivision(const DivisionProblem& p, DivisionBug bug, int bug_round) {
    using Input = DivisionInput;
    if (p.divisor <= 0 || p.dividend < 0) return std::nullopt;  // no division to work
    const std::string s = std::to_string(p.dividend);
    const int n = static_cast<int>(s.size());
    const int d = p.divisor;
    DivisionInputs out;
    int pos = 0;
    int part = 0;
    while (pos < n && part < d) part = part * 10 + (s[pos++] - '0');
    bool applied = bug == DivisionBug::None;
    const int rounds = [&] {  // nonzero quotient digits
        int r = 0;
        for (char c : std::to_string(p.quotient)) r += c != '0';
        return r;
    }();
    for (int round = 1; round <= 3; ++round) {
        const bool here = round == bug_round;
        int q = part / d;
        if (q > 9) break;  // the pupil's own numbers went astray
        if (bug == DivisionBug::PlaceRight && here && round == rounds && p.quotient % 10 != 0 &&
            round > 1) {
            applied = true;
            break;  // the places ran out one digit early
        }
        if (bug == DivisionBug::TooBig && here && q < 9) ++q, applied = true;
        if (bug == DivisionBug::TooSmall && here && q > 0) --q, applied = true;
        out.push_back(Input::QuotientDigit(n - pos + 1, q));
        int product = q * d;
        if (bug == DivisionBug::Product && here) product += product > 0 ? -1 : 1, applied = true;
        out.push_back(Input::RowNumber(product));
        int diff = part - product;
        if (diff < 0) {  // too big: the pupil takes the smaller from the larger and stops
            out.push_back(Input::RowNumber(-diff));
            break;
        }
        if (bug == DivisionBug::Difference && here) diff += diff > 0 ? -1 : 1, applied = true;
        if (bug == DivisionBug::BringDown && here && pos < n) {
            out.push_back(Input::RowNumber(diff));  // nothing brought down; the pupil stops there
            applied = true;
            break;
        }
        int value = diff;
        while (pos < n) {
            value = value * 10 + (s[pos++] - '0');
            if (value >= d) break;
            if (bug == DivisionBug::ZeroMissing && !applied) {
                applied = true;  // no 0 in the quotient, the next digit comes down
                continue;
            }
            out.push_back(Input::ZeroDigit());
        }
        if (value > 9999) break;
        out.push_back(Input::RowNumber(value));
        if (value < d) break;
        part = value;
    }
    if (bug == DivisionBug::PlaceLeft) {
        out.push_back(Input::ZeroDigit());
        applied = true;
    }
    if (!applied) return std::nullopt;
    return out;
}

}  // namespace sorelka::division
