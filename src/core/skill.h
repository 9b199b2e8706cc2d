#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

// What a pupil learns to do in a topic, named for the record, the pupil and
// the teacher, and the menu items whose problems can aim at it.
namespace sorelka {

struct SkillInfo {
    std::string_view id;             // stable, kept in the record: "division.zero_in_quotient"
    std::string_view pupil_label;    // in words a fourth-year pupil reads: "商に ０が たつ わり算"
    std::string_view teacher_label;  // for the teacher's view and the exports: "商の途中に0がたつ"
};

// A set of a screen's menu items, counted from 1 as menu_choice is (1..15).
class MenuItems {
public:
    constexpr MenuItems() = default;
    constexpr MenuItems(std::initializer_list<int> items) {
        for (int item : items) bits_ |= Bit(item);
    }
    constexpr bool Has(int item) const { return (bits_ & Bit(item)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    // The lowest item; 0 when there is none.
    constexpr int First() const {
        for (int item = 1; item < 16; ++item)
            if (Has(item)) return item;
        return 0;
    }
    std::vector<int> List() const {
        std::vector<int> items;
        for (int item = 1; item < 16; ++item)
            if (Has(item)) items.push_back(item);
        return items;
    }
    constexpr bool operator==(const MenuItems&) const = default;

private:
    static constexpr unsigned Bit(int item) { return item >= 1 && item < 16 ? 1u << item : 0u; }
    unsigned bits_ = 0;
};

// A skill of a topic with the menu items of its practice screen where a
// problem aimed at it can be drawn (none: the practice screen never draws
// one, as the whole-number results of the fraction drill).
struct TopicSkill {
    SkillInfo info;
    MenuItems practice_items;
};

}  // namespace sorelka
