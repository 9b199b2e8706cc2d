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

// One labelled place of a written calculation: a label, a line or a picture.
// left/top/width/height of -1 mean "as laid out by the screen".
struct Cell {
    std::string text;
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
    Rgb colour = kNavy;
    bool visible = true;

    bool operator==(const Cell&) const = default;
};

// The written calculation of one screen as data: cells keyed by the object
// name of the widget that shows them ("Label7", "Shape2", "Image3"). Step
// machines change cells; the screen copies every cell onto its widget.
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
