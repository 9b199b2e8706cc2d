#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace sorelka {

// Colours as 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kBlue = 0x0000FF;   // a value written but not yet confirmed
inline constexpr Rgb kNavy = 0x000080;   // a confirmed or finished value
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kRed = 0xFF0000;

// One labelled place of a written calculation: a number, a line, a picture
// or a list the pupil writes with. `column` and `row` say where it stands in
// the topic's own units (the digit column of its last digit, the row of the
// calculation a marker points at); -1 leaves it where the topic's layout puts
// it. The screen's layout table turns them into pixels.
// left/top/width/height are pixels; -1 means "as laid out by the screen".
// (They go once every topic places its cells by column and row.)
struct Cell {
    std::string text;
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
    Rgb colour = kNavy;
    bool visible = true;
    int column = -1;
    int row = -1;

    bool operator==(const Cell&) const = default;
};

// The written calculation of one screen as data: cells keyed by their role in
// the calculation ("quotient", "product 1", "marker"), each topic naming its
// own. Step machines change cells; the screen copies every cell onto the
// widget its layout table gives for the role. (Until every topic speaks
// roles, some still key their cells by the widget's object name.)
class Worksheet {
public:
    // The cell of that name, created empty on first use.
    Cell& operator[](const std::string& name) { return cells_[name]; }
    // The cell of that name; an empty, default cell if there is none.
    const Cell& at(const std::string& name) const;
    bool has(const std::string& name) const { return cells_.count(name) != 0; }

    auto begin() const { return cells_.begin(); }
    auto end() const { return cells_.end(); }
    std::size_t size() const { return cells_.size(); }

    bool operator==(const Worksheet&) const = default;

private:
    std::map<std::string, Cell> cells_;
};

}  // namespace sorelka
