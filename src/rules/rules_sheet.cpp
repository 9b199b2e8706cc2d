#include "rules/rules_sheet.h"

#include <iterator>
#include <map>

#include "rules/expression_problems.h"

namespace sorelka::rules {

namespace {

using Part = RulesRole::Part;

// The numbers and signs of the addition area.
const RulesRole kAdditionNumbers[] = {{Part::AddTop}, {Part::AddBottom}, {Part::AddResult}, {Part::AddSign}};

// The numbers and signs of the multiplication and division areas.
const std::vector<RulesRole>& ProductAndDivisionNumbers() {
    static const std::vector<RulesRole> roles = {
        {Part::MulTop},      {Part::MulBottom},   {Part::MulRow, 0},     {Part::MulRow, 1},
        {Part::MulRow, 2},   {Part::MulSign},     {Part::DivDividend},   {Part::DivDivisor},
        {Part::DivQuotient}, {Part::DivRow, 0},   {Part::DivRow, 1},     {Part::DivRow, 2},
        {Part::DivRow, 3}};
    return roles;
}

}  // namespace

std::string RulesKey(RulesRole role) {
    const std::string n = std::to_string(role.index + 1);
    switch (role.part) {
        case Part::AddSign: return "add sign";
        case Part::AddTop: return "add top";
        case Part::AddBottom: return "add bottom";
        case Part::AddResult: return "add result";
        case Part::MulSign: return "mul sign";
        case Part::MulTop: return "mul top";
        case Part::MulBottom: return "mul bottom";
        case Part::MulRow: return "mul row " + n;
        case Part::DivDividend: return "dividend";
        case Part::DivDivisor: return "divisor";
        case Part::DivQuotient: return "quotient";
        case Part::DivRow: return "div row " + n;
        case Part::AddLine: return "add line";
        case Part::MulLine: return "mul line";
        case Part::MulSumLine: return "mul sum line";
        case Part::DivLine: return "div line " + std::to_string(role.index);
        case Part::Bracket: return "bracket";
        case Part::MulMarker: return "mul marker";
        case Part::DivMarker: return "div marker";
        case Part::Problem: return "problem";
        case Part::Mark: return "mark";
    }
    return {};
}

const std::vector<RulesRole>& RulesCells() {
    static const std::vector<RulesRole> cells = [] {
        std::vector<RulesRole> all(std::begin(kAdditionNumbers), std::end(kAdditionNumbers));
        all.insert(all.end(), ProductAndDivisionNumbers().begin(), ProductAndDivisionNumbers().end());
        const std::vector<RulesRole> rest = {
            {Part::AddLine},    {Part::MulLine},   {Part::MulSumLine}, {Part::DivLine, 0},
            {Part::DivLine, 1}, {Part::DivLine, 2}, {Part::Bracket},   {Part::MulMarker},
            {Part::DivMarker},  {Part::Problem},   {Part::Mark}};
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    }();
    return cells;
}

std::optional<RulesRole> RulesRoleOfKey(const std::string& key) {
    static const std::map<std::string, RulesRole> roles = [] {
        std::map<std::string, RulesRole> m;
        for (const RulesRole& role : RulesCells()) m[RulesKey(role)] = role;
        return m;
    }();
    const auto it = roles.find(key);
    if (it == roles.end()) return std::nullopt;
    return it->second;
}

RoleCell RulesRoleCell(RulesRole role) {
    if (role.part == Part::DivQuotient) return {RulesKey(role), RoleCell::Digit::FromLeft, role.index};
    return {RulesKey(role)};
}

const std::vector<RulesRole>& RulesRolesInOrder() {
    static const std::vector<RulesRole> roles = {
        {Part::AddSign},     {Part::AddTop},        {Part::AddBottom},     {Part::MulSign},
        {Part::MulTop},      {Part::MulBottom},     {Part::DivDividend},   {Part::DivDivisor},
        {Part::AddResult},   {Part::MulRow, 0},     {Part::MulRow, 1},     {Part::MulRow, 2},
        {Part::DivQuotient, 0}, {Part::DivRow, 0},  {Part::DivRow, 1},     {Part::DivQuotient, 1},
        {Part::DivRow, 2},   {Part::DivRow, 3}};
    return roles;
}

RulesSheet::RulesSheet(bool with_mark) : with_mark_(with_mark) {
    // The problem is the screen's to show; the mark only where there is one.
    for (const RulesRole& role : RulesCells())
        if (role.part != Part::Problem && (with_mark || role.part != Part::Mark)) (void)(*this)[role];
}

void RulesSheet::Write(RulesRole role, int value, Rgb colour) {
    Cell& c = (*this)[role];
    c.text = std::to_string(value);
    c.colour = colour;
}

void RulesSheet::ShowCalculation(int op, int top, int bottom) {
    switch (op) {
        case kAdd:
        case kSubtract:
            Write({Part::AddTop}, top, kNavy);
            Write({Part::AddBottom}, bottom, kNavy);
            (*this)[{Part::AddSign}].text = op == kAdd ? "＋" : "-";
            (*this)[{Part::AddLine}].visible = true;
            break;
        case kMultiply:
            Write({Part::MulTop}, top, kNavy);
            Write({Part::MulBottom}, bottom, kNavy);
            (*this)[{Part::MulSign}].text = "ｘ";
            (*this)[{Part::MulLine}].visible = true;
            (*this)[{Part::MulMarker}].visible = true;
            PointMarker(Part::MulMarker, 1);
            break;
        case kDivide:
            Write({Part::DivDividend}, top, kNavy);
            Write({Part::DivDivisor}, bottom, kNavy);
            (*this)[{Part::Bracket}].visible = true;
            (*this)[{Part::DivLine, 0}].visible = true;
            (*this)[{Part::DivMarker}].visible = true;
            PointMarker(Part::DivMarker, 0);
            break;
        default:
            break;
    }
}

void RulesSheet::ShowPendingSum(int first, std::optional<int> second, int middle_op) {
    Write({Part::AddTop}, first, kNavy);
    if (second) Write({Part::AddBottom}, *second, kNavy);
    (*this)[{Part::AddSign}].text = middle_op == kSubtract ? "-" : "+";
    (*this)[{Part::AddLine}].visible = true;
}

void RulesSheet::Blank(RulesRole role) {
    Cell& c = (*this)[role];
    c.text.clear();
    c.colour = kNavy;
}

void RulesSheet::HideLinesAndPictures(bool with_addition) {
    for (Part part : {Part::AddLine, Part::MulLine, Part::MulSumLine, Part::Bracket, Part::MulMarker,
                      Part::DivMarker})
        if (with_addition || part != Part::AddLine) (*this)[{part}].visible = false;
    for (int line = 0; line < 3; ++line) (*this)[{Part::DivLine, line}].visible = false;
}

void RulesSheet::ClearAreas() {
    for (const RulesRole& role : kAdditionNumbers) Blank(role);
    for (const RulesRole& role : ProductAndDivisionNumbers()) Blank(role);
    if (with_mark_) (*this)[{Part::Mark}].text.clear();
    verdict_.reset();
    HideLinesAndPictures(true);
    (*this)[{Part::DivQuotient}].column = 0;
    (*this)[{Part::DivRow, 0}].column = 0;
}

void RulesSheet::ClearAllButPendingSum() {
    (*this)[{Part::AddResult}].text.clear();
    for (const RulesRole& role : ProductAndDivisionNumbers()) Blank(role);
    HideLinesAndPictures(false);
}

void RulesSheet::ShowVerdict(Verdict verdict) {
    verdict_ = verdict;
    (*this)[{Part::Mark}].text = IsRight(verdict) ? "○" : "×";
}

}  // namespace sorelka::rules
