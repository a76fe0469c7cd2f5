#pragma once

#include <string>
#include <string_view>

#include "tune/Tune.h"

// What the numeric field editors do to a text: commit (read, snap, clamp, write canonically) and
// step (PageUp / PageDown). The widgets only forward keys and focus changes here.
namespace tune {

struct FieldRule {
    double factor;   // v is multiplied by this before rounding (2 for half degrees)
    int resolution;  // 1, or 50 / 100 for the speed fields (truncated after rounding)
    int min, max;    // range of n, in resolution units
    double step;     // PageUp / PageDown, in the field's own unit
    enum class Form { Whole, Signed, OneDecimal } form;
    bool enterCommits;
};

const FieldRule& ruleFor(Table table);
const FieldRule& ruleFor(Single field);

// The canonical text that committing `text` gives.
std::string committedText(const FieldRule& rule, std::string_view text);
// The text after PageUp (up) or PageDown, already committed.
std::string steppedText(const FieldRule& rule, std::string_view text, bool up);

// Left / Right in a six-cell table: the target cell, wrapping within the column.
int cellLeftOf(int cell);
int cellRightOf(int cell);

void commit(Tune& tune, Table table, int cell);
void commit(Tune& tune, Single field);
void step(Tune& tune, Table table, int cell, bool up);
void step(Tune& tune, Single field, bool up);

}  // namespace tune
