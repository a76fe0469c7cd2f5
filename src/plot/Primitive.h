#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the timing plot draws, as a list that a painter replays and a test compares exactly.
namespace plot {

// Twips from the top-left corner of the drawing area, y growing downward. Single precision,
// as the plot has always kept its screen points.
struct Point {
    float x = 0;
    float y = 0;
    bool operator==(const Point&) const = default;
};

struct Primitive {
    enum class Kind {
        Clear,  // the whole area in its background colour
        Pixel,  // one pixel at `from`; the pen stands there afterwards
        Line,   // from `from` to `to`
        Text,   // `text` with its top-left corner at `from`
    };
    enum class Style { Solid, Dotted };

    Kind kind = Kind::Clear;
    Point from;
    Point to;
    Style style = Style::Solid;
    // 24-bit colour (blue * 65536 + green * 256 + red); none means the area's own colour: its
    // background for Clear, its text colour for Text.
    std::optional<std::uint32_t> color;
    std::string text;

    bool operator==(const Primitive&) const = default;
};

using Primitives = std::vector<Primitive>;

// One line of text per primitive, e.g. "line dotted 819.25,2194.75 7652.25,2194.75 0".
std::string describe(const Primitive& primitive);

// Builds a primitive list the way the plot draws: a pen that a pixel puts down and each line
// moves on, and a line style that stays until it is switched.
class Drawing {
public:
    void clear();
    void style(Primitive::Style style) { style_ = style; }
    void pixel(Point at, std::uint32_t color);
    // From the pen to `to`, which becomes the pen position.
    void lineTo(Point to, std::uint32_t color);
    void line(Point from, Point to, std::uint32_t color);
    void text(Point topLeft, std::string text);

    Primitives take() { return std::move(primitives_); }

private:
    Primitives primitives_;
    Point pen_;
    Primitive::Style style_ = Primitive::Style::Solid;
};

}  // namespace plot
