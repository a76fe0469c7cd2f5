#include "plot/Primitive.h"

#include <utility>

#include "tune/Numeric.h"

namespace plot {

namespace {

std::string pointText(Point p) {
    return num::plainDecimal(p.x) + "," + num::plainDecimal(p.y);
}

std::string colorText(const std::optional<std::uint32_t>& color) {
    return color ? num::integerText(*color) : "area";
}

}  // namespace

std::string describe(const Primitive& primitive) {
    switch (primitive.kind) {
        case Primitive::Kind::Clear:
            return "clear";
        case Primitive::Kind::Pixel:
            return "pixel " + pointText(primitive.from) + " " + colorText(primitive.color);
        case Primitive::Kind::Line:
            return std::string("line ") +
                   (primitive.style == Primitive::Style::Dotted ? "dotted " : "solid ") +
                   pointText(primitive.from) + " " + pointText(primitive.to) + " " +
                   colorText(primitive.color);
        case Primitive::Kind::Text:
            return "text " + pointText(primitive.from) + " \"" + primitive.text + "\"";
    }
    return {};
}

void Drawing::clear() {
    // Clearing also takes the pen home, as the drawing area always did.
    primitives_.push_back({});
    pen_ = {};
}

void Drawing::pixel(Point at, std::uint32_t color) {
    primitives_.push_back({Primitive::Kind::Pixel, at, at, Primitive::Style::Solid, color, {}});
    pen_ = at;
}

void Drawing::lineTo(Point to, std::uint32_t color) {
    line(pen_, to, color);
}

void Drawing::line(Point from, Point to, std::uint32_t color) {
    primitives_.push_back({Primitive::Kind::Line, from, to, style_, color, {}});
    pen_ = to;
}

void Drawing::text(Point topLeft, std::string text) {
    primitives_.push_back({Primitive::Kind::Text, topLeft, topLeft, Primitive::Style::Solid,
                           std::nullopt, std::move(text)});
}

}  // namespace plot
