#include "division/division_diagnosis.h"

#include <charconv>
#include <cstdlib>
#include <vector>

#include "core/number_text.h"
#include "division/division_cells.h"

namespace sorelka::division {

namespace {

// One cell of the right work, in the order a pupil writes it, with the facts
// of its round that the explanations show.
struct Item {
    enum class Role { Digit, ZeroDigit, Product, Difference };
    Role role = Role::Digit;
    int cell = -1;           // -1 the quotient, 0..5 the rows
    std::size_t length = 0;  // quotient: how many of its digits are written by now
    int round = 1;
    int quotient_pos = 0;    // digits: position in the quotient
    long long partial = 0;   // the part being divided (ZeroDigit: after bringing down)
    int digit = 0;
    long long product = 0;
    long long difference = 0;   // partial − product
    int brought = 0;            // digits brought down into the difference row
    std::size_t brought_from = 0;  // index in the dividend's text of the first of them
};

struct RightWork {
    std::vector<Item> items;
    std::string quotient;
    std::array<std::string, 6> rows;
    std::string dividend_text;
    int first_place = 0;  // place of the first quotient digit: 0 ones, 1 tens, …
    bool fits = true;     // three rounds at most, a positive divisor
};


RightWork Work(long long dividend, long long divisor) {
    RightWork w;
    if (divisor <= 0 || dividend < 0) {
        w.fits = false;
        return w;
    }
    const std::string s = std::to_string(dividend);
    w.dividend_text = s;
    const std::size_t n = s.size();
    std::size_t pos = 0;
    long long part = 0;
    while (pos < n && part < divisor) part = part * 10 + (s[pos++] - '0');
    w.first_place = static_cast<int>(n - pos);
    if (part < divisor) {
        // Smaller than the divisor: the quotient 0, the dividend left over.
        w.items.push_back({Item::Role::Digit, -1, 1, 1, 0, part, 0, 0, part, 0, n});
        w.items.push_back({Item::Role::Product, 0, 0, 1, 0, part, 0, 0, part, 0, n});
        w.items.push_back({Item::Role::Difference, 1, 0, 1, 0, part, 0, 0, part, 0, n});
        w.quotient = "0";
        w.rows[0] = "0";
        w.rows[1] = std::to_string(part);
    } else {
        for (int round = 1;; ++round) {
            if (round > 3) {
                w.fits = false;
                break;
            }
            const int q = static_cast<int>(part / divisor);
            const long long product = q * divisor;
            const long long diff = part - product;
            const int product_row = 2 * (round - 1);
            w.quotient += static_cast<char>('0' + q);
            Item facts{Item::Role::Digit, -1, w.quotient.size(), round,
                       static_cast<int>(w.quotient.size()) - 1, part, q, product, diff, 0, pos};
            w.items.push_back(facts);
            Item product_item = facts;
            product_item.role = Item::Role::Product;
            product_item.cell = product_row;
            w.items.push_back(product_item);
            w.rows[product_row] = std::to_string(product);

            // The difference with digits brought down until it can be divided;
            // each digit that leaves it too small puts a 0 into the quotient.
            // The difference row comes first: it is written before the 0s are
            // (the row "飛ばし" empties is written again).
            long long value = diff;
            int brought = 0;
            const std::size_t from = pos;
            const std::size_t zeros_from = w.quotient.size();
            while (pos < n) {
                value = value * 10 + (s[pos++] - '0');
                ++brought;
                if (value >= divisor) break;
                w.quotient += '0';
            }
            Item difference = facts;
            difference.role = Item::Role::Difference;
            difference.cell = product_row + 1;
            difference.brought = brought;
            difference.brought_from = from;
            w.items.push_back(difference);
            w.rows[product_row + 1] = std::to_string(value);
            // The 0s, each with the number it could not divide.
            long long rest = diff;
            for (std::size_t at = zeros_from; at < w.quotient.size(); ++at) {
                rest = rest * 10 + (s[from + (at - zeros_from)] - '0');
                Item zero = facts;
                zero.role = Item::Role::ZeroDigit;
                zero.length = at + 1;
                zero.quotient_pos = static_cast<int>(at);
                zero.partial = rest;
                zero.digit = 0;
                zero.product = 0;
                zero.difference = rest;
                w.items.push_back(zero);
            }
            if (value < divisor) break;
            part = value;
        }
    }
    return w;
}

bool Agrees(const WrittenDivision& w, const RightWork& right, const Item& item) {
    if (item.cell < 0)
        return w.quotient.size() >= item.length &&
               w.quotient.compare(0, item.length, right.quotient, 0, item.length) == 0;
    return w.rows[item.cell] == right.rows[item.cell];
}

bool ReadNumber(std::string_view text, long long& value) {
    if (text.empty() || text.size() > 12) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 0;
}

// a − b column by column with the rule `column` (a digit of a, of b → digit).
template <typename Column>
long long ColumnWise(long long a, long long b, Column column) {
    long long result = 0;
    long long place = 1;
    while (a > 0 || b > 0) {
        result += column(static_cast<int>(a % 10), static_cast<int>(b % 10)) * place;
        a /= 10;
        b /= 10;
        place *= 10;
    }
    return result;
}

// The subtraction slips of the column method: the borrow not taken off the
// next column, or the smaller digit taken from the larger one.
bool LooksLikeSubtractionSlip(long long a, long long b, long long written) {
    if (LooksLikeOneSlip(a - b, written)) return true;
    if (written == ColumnWise(a, b, [](int x, int y) { return x >= y ? x - y : x + 10 - y; }))
        return true;
    return written == ColumnWise(a, b, [](int x, int y) { return x >= y ? x - y : y - x; });
}

// digit × divisor with every carry forgotten, or added once too often.
bool LooksLikeMultiplicationSlip(int digit, long long divisor, long long written) {
    if (LooksLikeOneSlip(digit * divisor, written)) return true;
    long long no_carry = 0;
    long long place = 1;
    for (long long d = divisor; d > 0; d /= 10, place *= 10) no_carry += (digit * (d % 10)) % 10 * place;
    return written == no_carry;
}

std::string W(long long v) { return WideNumber(v); }

// The round of たてる・かける・ひく・おろす: "さいしょ", "２かいめ", … (not "だんめ",
// which reads as a row of the times table).
std::string Round(int round) { return round <= 1 ? "さいしょ" : W(round) + "かいめ"; }

const char* PlaceName(int place) {
    static const char* const names[] = {"一", "十", "百", "千", "万"};
    return place >= 0 && place < 5 ? names[place] : "";
}

DivisionMistake Mistake(const char* kind, const Item& at, std::string explanation) {
    DivisionMistake m;
    m.kind = kind;
    m.in_quotient = at.cell < 0;
    m.index = at.cell < 0 ? at.quotient_pos : at.cell;
    m.round = at.round;
    m.explanation = std::move(explanation);
    return m;
}

std::string ProductFact(long long divisor, const Item& at) {
    return W(divisor) + "×" + W(at.digit) + "＝" + W(at.product);
}

std::string DifferenceFact(const Item& at) {
    return W(at.partial) + "－" + W(at.product) + "＝" + W(at.difference);
}


// The digit a round puts into the quotient, as the division of its part.
std::string QuotientFact(long long divisor, const Item& at) { return DivisionFact(at.partial, divisor); }

// The quotient's first digit in the wrong place: the division it begins
// with, the place that puts it in, and that division's fact.
std::string PlaceMistake(const RightWork& right, long long divisor) {
    const Item& first = right.items.front();
    return "商を たてる 位が ちがうよ　さいしょは " + W(first.partial) + "÷" + W(divisor) + "なので、商は " +
           std::string(PlaceName(right.first_place)) + "の位から たつよ　" + DivisionFact(first.partial, divisor);
}

DivisionMistake AtQuotient(const WrittenDivision& w, const RightWork& right, const Item& at) {
    const long long d = w.divisor;
    const std::size_t pos = static_cast<std::size_t>(at.quotient_pos);
    const std::string place = PlaceName(right.first_place - static_cast<int>(pos));
    if (at.role == Item::Role::ZeroDigit) {
        // Dropping the 0: the pupil goes on with the next digit of the right quotient.
        std::string without = right.quotient;
        without.erase(pos, 1);
        if (w.quotient.substr(std::min(pos, w.quotient.size()), 1) == without.substr(pos, 1))
            return Mistake(kZeroMissing, at,
                           place + "の位に ０を たてわすれたよ　" + W(at.partial) + "は " + W(d) +
                               "より 小さいので、" + place + "の位は ０だよ　" + QuotientFact(d, at));
    }
    if (pos >= w.quotient.size()) {
        // The quotient stops one digit early: its first digit stood one place
        // too far to the right, so the places ran out.
        // (A record that says where the quotient stands names that at its first digit.)
        if (w.quotient_place == 0 && at.role == Item::Role::Digit && pos + 1 == right.quotient.size() &&
            pos >= 1)
            return Mistake(kQuotientPlace, at, PlaceMistake(right, d));
        return Mistake(kOther, at, "商が とちゅうで おわっているよ　" + QuotientFact(d, at));
    }
    const char c = w.quotient[pos];
    if (c < '0' || c > '9') return Mistake(kOther, at, "商の 数字を たしかめよう　" + QuotientFact(d, at));
    const int written = c - '0';
    const long long part = at.partial;
    // Named by its place: a 0 in the quotient has no rows of its own.
    const std::string digit_name = place + "の位に たてた 商が ";
    if (written > at.digit)
        return Mistake(kQuotientTooBig, at,
                       digit_name + "大きすぎるよ　" + W(d) + "×" + W(written) + "＝" +
                           W(d * written) + "は " + W(part) + "より 大きいね　" + QuotientFact(d, at));
    return Mistake(kQuotientTooSmall, at,
                   digit_name + "小さすぎるよ　" + W(part) + "－" + W(d) + "×" + W(written) + "＝" +
                       W(part - d * written) + "は " + W(d) + "より 小さく ないね　商は もっと 大きく できるよ　" +
                       QuotientFact(d, at));
}

DivisionMistake AtProduct(const WrittenDivision& w, const Item& at) {
    long long v = 0;
    if (!ReadNumber(w.rows[at.cell], v))
        return Mistake(kOther, at, Round(at.round) + "の かけ算が かいてないよ　" +
                                       ProductFact(w.divisor, at));
    if (LooksLikeMultiplicationSlip(at.digit, w.divisor, v))
        return Mistake(kProductSlip, at, Round(at.round) + "の かけ算が ちがうよ　" +
                                             ProductFact(w.divisor, at));
    return Mistake(kSlip, at, Round(at.round) + "の かけ算を たしかめよう　" +
                                  ProductFact(w.divisor, at));
}

DivisionMistake AtDifference(const WrittenDivision& w, const RightWork& right, const Item& at) {
    long long v = 0;
    if (!ReadNumber(w.rows[at.cell], v))
        return Mistake(kOther, at,
                       Round(at.round) + "の ひき算が かいてないよ　" + DifferenceFact(at));
    const auto difference_slip = [&] {
        return Mistake(kDifferenceSlip, at,
                       Round(at.round) + "の ひき算が ちがうよ　" + DifferenceFact(at));
    };
    const auto slip = [&] {
        return Mistake(kSlip, at, Round(at.round) + "の ひき算を たしかめよう　" + DifferenceFact(at));
    };
    if (at.brought == 0) {
        if (LooksLikeSubtractionSlip(at.partial, at.product, v)) return difference_slip();
        return slip();
    }
    // The difference followed by the digits brought down: which part is wrong?
    const std::string& digits = right.dividend_text;
    const std::string brought = digits.substr(at.brought_from, at.brought);
    const long long scale = Pow10(at.brought);
    const long long right_value = at.difference * scale + std::stoll(brought);
    std::string brought_digits;  // "５", or "１と２" when a 0 went into the quotient between them
    for (char digit : brought)
        brought_digits += (brought_digits.empty() ? "" : "と") + WideDigits(std::string(1, digit));
    const std::string bring_fact = Round(at.round) + "に おろす 数が ちがうよ　" + DifferenceFact(at) +
                                   "で、" + brought_digits + "を おろして " + W(right_value);
    if (v == at.difference) return Mistake(kBringDown, at, bring_fact);  // nothing brought down
    const long long head = v / scale;
    const long long tail = v % scale;
    const bool tail_right = tail == right_value % scale;
    if (tail_right && LooksLikeSubtractionSlip(at.partial, at.product, head)) return difference_slip();
    // Too few or too many digits brought down.
    for (std::size_t j = 1; at.brought_from + j <= digits.size(); ++j) {
        if (static_cast<int>(j) == at.brought) continue;
        long long candidate = at.difference;
        for (std::size_t i = 0; i < j; ++i) candidate = candidate * 10 + (digits[at.brought_from + i] - '0');
        if (candidate == v) return Mistake(kBringDown, at, bring_fact);
    }
    // A difference one off, with the digits brought down as taught for it:
    // as many as that difference needs to be divided (1 for 0 instead of 1
    // brings one digit more, and a 0 goes into the quotient).
    for (const long long off : {at.difference - 1, at.difference + 1}) {
        if (off < 0 || !LooksLikeSubtractionSlip(at.partial, at.product, off)) continue;
        long long value = off;
        for (std::size_t from = at.brought_from; from < digits.size();) {
            value = value * 10 + (digits[from++] - '0');
            if (value >= w.divisor) break;
        }
        if (value == v) return difference_slip();
    }
    if (head == at.difference) return Mistake(kBringDown, at, bring_fact);  // another digit brought
    return slip();
}

}  // namespace

std::string WideDigits(std::string_view text) {
    static const char* const wide[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    std::string out;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            out += wide[c - '0'];
        else
            out += c;
    }
    return out;
}

std::string WideNumber(long long value) { return WideDigits(std::to_string(value)); }

std::string DivisionFact(long long dividend, long long divisor) {
    if (divisor <= 0) return {};
    const long long rest = dividend % divisor;
    return WideNumber(dividend) + "÷" + WideNumber(divisor) + "＝" + WideNumber(dividend / divisor) +
           (rest > 0 ? " あまり " + WideNumber(rest) : "");
}

bool LooksLikeOneSlip(long long right, long long written) {
    if (written < 0 || written == right) return false;
    const long long gap = std::llabs(written - right);
    for (long long p = 1; p <= gap; p *= 10)
        if (gap == p) return true;
    const std::string a = std::to_string(right);
    const std::string b = std::to_string(written);
    if (a.size() != b.size()) return false;
    int differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing == 1;
}

std::string DivisionKindLabel(std::string_view kind) {
    struct Entry {
        std::string_view kind;
        const char* label;
    };
    static constexpr Entry labels[] = {
        {kQuotientTooBig, "商が大きすぎる"},   {kQuotientTooSmall, "商が小さすぎる"},
        {kQuotientPlace, "商をたてる位がちがう"}, {kZeroMissing, "商に０をたてわすれた"},
        {kProductSlip, "かけ算のまちがい"},      {kDifferenceSlip, "ひき算のまちがい"},
        {kBringDown, "おろす数のまちがい"},
    };
    for (const Entry& e : labels)
        if (e.kind == kind) return e.label;
    return SharedKindLabel(kind);
}

std::optional<DivisionMistake> FindDivisionMistake(const WrittenDivision& w) {
    const RightWork right = Work(w.dividend, w.divisor);
    if (!right.fits) {
        DivisionMistake m;
        m.kind = kOther;
        m.explanation = "計算を もういちど たしかめよう";
        if (w.divisor > 0 && w.dividend >= 0) m.explanation += "　" + DivisionFact(w.dividend, w.divisor);
        return m;
    }
    // The first digit over another column than the right work's: every digit
    // after it stands a column off too, so the place is the mistake.
    if (w.quotient_place > 0 && !w.quotient.empty() && w.quotient_place != right.first_place + 1) {
        Item first = right.items.front();
        first.quotient_pos = 0;
        return Mistake(kQuotientPlace, first, PlaceMistake(right, w.divisor));
    }
    for (const Item& item : right.items) {
        if (Agrees(w, right, item)) continue;
        switch (item.role) {
            case Item::Role::Digit:
            case Item::Role::ZeroDigit: return AtQuotient(w, right, item);
            case Item::Role::Product: return AtProduct(w, item);
            case Item::Role::Difference: return AtDifference(w, right, item);
        }
    }
    // Every cell of the right work is there; anything more is the mistake.
    Item end = right.items.back();
    if (w.quotient != right.quotient) {
        end.cell = -1;
        end.quotient_pos = static_cast<int>(right.quotient.size());
        if (w.quotient == right.quotient + "0") return Mistake(kQuotientPlace, end, PlaceMistake(right, w.divisor));
        return Mistake(kOther, end, "商の けた数を たしかめよう　" + DivisionFact(w.dividend, w.divisor));
    }
    for (int row = 0; row < 6; ++row) {
        if (right.rows[row].empty() && !w.rows[row].empty()) {
            end.cell = row;
            end.round = row / 2 + 1;
            return Mistake(kOther, end,
                           "わり算は もう おわっているよ　" + DivisionFact(w.dividend, w.divisor));
        }
    }
    return std::nullopt;
}

Diagnosis DiagnoseDivision(const DivisionProblem& problem, const WorkedRows& rows) {
    const WrittenDivision w = WrittenDivisionOf(problem, rows);

    // Judged as the screens judge: the quotient and the last difference written.
    long long quotient = 0;
    long long remainder = 0;
    const std::string* last = nullptr;
    for (int row = 5; row >= 1 && !last; row -= 2)
        if (!w.rows[row].empty()) last = &w.rows[row];
    if (ReadNumber(w.quotient, quotient) && quotient == problem.quotient && last &&
        ReadNumber(*last, remainder) && remainder == problem.remainder &&
        w.FirstPlace() == RightFirstPlace(problem.dividend, problem.divisor))
        return std::nullopt;

    const std::optional<DivisionMistake> m = FindDivisionMistake(w);
    if (!m)
        return Finding{kOther, "", "計算を もういちど たしかめよう　" + DivisionFact(w.dividend, w.divisor)};
    const std::string step = m->in_quotient ? "quotient:" + std::to_string(m->index + 1)
                                            : "row:" + std::to_string(m->index + 1);
    return Finding{m->kind, step, m->explanation};
}

}  // namespace sorelka::division
