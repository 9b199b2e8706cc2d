#include "division/division_bugs.h"

#include <string>

namespace sorelka::division {

void Feed(LongDivision& model, const DivisionInput& input) {
    switch (input.what) {
        case DivisionInput::What::Skip:
            model.ApplyAction(Action::Skip);
            return;
        case DivisionInput::What::Finish:
            model.ApplyAction(Action::Finish);
            return;
        case DivisionInput::What::Digit:
            // "十の位を選んでね！": the pupil chooses the digit again in the tens.
            if (model.ChooseDigit(PlaceOfColumn(input.place), input.value) == DigitOutcome::Refused)
                model.ChooseDigit(Place::Tens, input.value);
            break;
        case DivisionInput::What::Number:
        case DivisionInput::What::Tried: {
            bool started = false;
            for (int place = kThousands, scale = 1000; place >= kOnes; --place, scale /= 10) {
                const int digit = input.value / scale % 10;
                if (digit != 0 || started || place == kOnes) {
                    model.ChooseDigit(PlaceOfColumn(place), digit);
                    started = true;
                }
            }
            if (input.what == DivisionInput::What::Tried) return;  // left for "飛ばし" to clear
            break;
        }
    }
    model.ApplyAction(Action::Confirm);
}

void EnterAndFinish(LongDivision& model, const DivisionInputs& inputs) {
    for (const DivisionInput& input : inputs) Feed(model, input);
    model.ApplyAction(Action::Finish);
}

std::optional<DivisionInputs> WorkDivision(const DivisionProblem& p, DivisionBug bug, int bug_round) {
    using Input = DivisionInput;
    if (p.divisor <= 0 || p.dividend < 0) return std::nullopt;  // no division to work
    const std::string s = std::to_string(p.dividend);
    const std::size_t n = s.size();
    const long long d = p.divisor;
    const auto digit = [&](std::size_t at) { return static_cast<long long>(s[at] - '0'); };
    std::size_t pos = 0;
    long long part = 0;
    while (pos < n && part < d) part = part * 10 + digit(pos++);

    // The place of the first digit a column off: every later digit follows it.
    const int right_first = static_cast<int>(n - pos) + 1;
    int shift = 0;
    if (bug == DivisionBug::PlaceLeft) {
        // Over the first digit of a part of two or more digits; the
        // worksheet moves the quotient to the hundreds at most.
        if (pos < 2 || right_first + 1 > kHundreds) return std::nullopt;
        shift = 1;
    }
    if (bug == DivisionBug::PlaceRight) {
        if (right_first < kTens) return std::nullopt;
        shift = -1;
    }
    bool applied = bug == DivisionBug::None || shift != 0;
    int column = right_first + shift + 1;  // of the quotient's last digit so far
    DivisionInputs out;
    for (int round = 1; round <= 3; ++round) {
        const bool here = round == bug_round;
        int q = static_cast<int>(part / d);
        if (q > 9) return std::nullopt;
        if (bug == DivisionBug::TooBig && here) {
            if (q >= 9) return std::nullopt;
            ++q;
            applied = true;
        }
        if (bug == DivisionBug::TooSmall && here) {
            if (q < 2) return std::nullopt;  // a leading 0 or a 0 for a part that divides
            --q;
            applied = true;
        }
        if (column - 1 < kOnes) break;  // no column left for the digit: the pupil sees it
        out.push_back(Input::QuotientDigit(--column, q));
        long long product = q * d;
        if (bug == DivisionBug::TooBig && here) {
            out.push_back(Input::RowNumber(static_cast<int>(product)));
            break;  // larger than the part: it cannot be taken away
        }
        if (bug == DivisionBug::Product && here) {
            // One off, so that the difference still looks like one.
            const long long diff = part - product;
            if (diff + 1 < d) --product;
            else if (diff >= 1) ++product;
            else return std::nullopt;
            applied = true;
        }
        out.push_back(Input::RowNumber(static_cast<int>(product)));
        long long diff = part - product;
        if (bug == DivisionBug::Difference && here) {
            if (diff >= 1) --diff;
            else if (diff + 1 < d) ++diff;
            else return std::nullopt;
            applied = true;
        }
        if (bug == DivisionBug::BringDown && here) {
            if (pos >= n) return std::nullopt;
            out.push_back(Input::RowNumber(static_cast<int>(diff)));  // taken for the remainder
            applied = true;
            break;
        }
        if (bug == DivisionBug::TooSmall && here) {
            // Not smaller than the divisor, with the next digit brought down
            // too big for one digit of the quotient: there the pupil stops.
            const long long value = pos < n ? diff * 10 + digit(pos) : diff;
            if (value > 9999) return std::nullopt;
            out.push_back(Input::RowNumber(static_cast<int>(value)));
            break;
        }
        if (pos == n) {
            out.push_back(Input::RowNumber(static_cast<int>(diff)));  // the remainder
            break;
        }
        long long value = diff * 10 + digit(pos++);
        bool finished = false;
        while (value < d && !finished) {
            if (bug == DivisionBug::ZeroMissing && !applied) {
                applied = true;  // no 0 in the quotient: the next digit comes down, or the work ends
                if (pos < n) {
                    value = value * 10 + digit(pos++);
                    continue;
                }
                out.push_back(Input::RowNumber(static_cast<int>(value)));
                finished = true;
                break;
            }
            if (column - 1 < kOnes) break;  // no column left for the 0
            if (pos < n) {
                // Tried, too small: 0 in the quotient, which clears it for
                // the number with the next digit brought down.
                out.push_back(Input::TriedNumber(static_cast<int>(value)));
                out.push_back(Input::ZeroDigit());
                --column;
                value = value * 10 + digit(pos++);
            } else {
                // Nothing left to bring down: the remainder, then its 0.
                out.push_back(Input::RowNumber(static_cast<int>(value)));
                out.push_back(Input::ZeroDigit());
                --column;
                finished = true;
            }
        }
        if (finished) break;
        if (value > 9999) return std::nullopt;
        out.push_back(Input::RowNumber(static_cast<int>(value)));
        if (value < d) break;  // no column left for its 0
        part = value;
    }
    if (!applied) return std::nullopt;
    return out;
}

}  // namespace sorelka::division
