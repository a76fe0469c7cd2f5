#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tune/Edition.h"
#include "tune/Tune.h"

// What the Setup window calls the Tune's fields: its panel captions, column headings, labels and
// the captions of its option buttons and check boxes. The window is built from these texts and
// fieldsAsShown() names the fields with them, so a field is always called what the window calls
// it.
namespace tune::caption {

inline constexpr std::string_view kTimingPanel = "IGNITION TIMING";
inline constexpr std::string_view kRpmHeading = "RPM";
inline constexpr std::string_view kDegreeHeading = "Degree";

inline constexpr std::string_view kMapAdjustPanel = "Vaccum/ Boost       Advance/ Retard";
inline constexpr std::string_view kPressureHeading = "Pressure";

inline constexpr std::string_view kStaticPanel = "Static Timing";
inline constexpr std::string_view kCrankDegrees = "Crank Degrees BTDC";
inline constexpr std::string_view kStaticNote = "DEGREES from  input trigger until TDC.";

inline constexpr std::string_view kStartPanel = "START TIMING";
inline constexpr std::string_view kIgnitionTiming = "Ignition Timing";
inline constexpr std::string_view kRpmThreshold = "RPM Threshold";
inline constexpr std::string_view kPulsesUntilSpark = "Pulses Until 1st Spark";

inline constexpr std::string_view kEnginePanel = "ENGINE TYPE";
inline constexpr std::string_view kCylinders = "Cylinders";
inline constexpr std::string_view kOddFire = "Odd Fire";

inline constexpr std::string_view kLimiterPanel = "REV LIMITER";
inline constexpr std::string_view kLimiterRpm = "RPM";

inline constexpr std::string_view kPortedPanel = "Ported Vacuum ";
inline constexpr std::string_view kStartHeading = "Start";
inline constexpr std::string_view kFullHeading = "Full";

inline constexpr std::string_view kMapSensorPanel = "MAP SENSOR TYPE";
inline constexpr std::string_view kMapSensorPanelZav = "MAP Sensor";
inline constexpr std::string_view kXled = "XLED";
inline constexpr std::string_view kXledFunction = "Function";
inline constexpr std::string_view kThreeBar = "3 Bar";
inline constexpr std::string_view kOutput = "OUTPUT";
inline constexpr std::string_view kInvert = "Invert ";

inline constexpr std::string_view kKnockPanel = "Knock Retard";
inline constexpr std::string_view kKnockIncrease = "Retard increase per knock detect (degrees)";
inline constexpr std::string_view kDecreaseBy = "Decrease retard by";
inline constexpr std::string_view kUnwindUnit = "MSEC/Sparks between 1/2 degree decr";

inline constexpr std::string_view kOutputsPanel = "OUTPUTS";
inline constexpr std::string_view kOutputRow[2] = {"#1", "#2"};

// The caption of an option button ("4-Stroke", "TPS (V)", ...).
std::string_view option(Option o);

// The MAP sensor panel's caption, which Edition ZAV changes.
std::string_view mapSensorPanel(Edition edition);

}  // namespace tune::caption

namespace tune {

// One field as the window shows it. The name is "<panel caption> / <label>" with runs of blanks
// in the window's texts shown as one; a table cell's label carries its row counted from 1 at the
// top ("IGNITION TIMING / Degree 3"); an option group's label lists its buttons ("ENGINE TYPE /
// 4-Stroke or 2-Stroke") and its value is the selected button's caption (empty when none is);
// a check box's value is "checked" or "unchecked"; an output's value is its channel and its
// threshold ("RPM 3000"). The limiter list has no label of its own and is named by its panel.
struct ShownField {
    std::string name;
    std::string value;
};

// Every field of the Tune in the window's reading order: column by column, panel by panel, and
// a table row by row.
std::vector<ShownField> fieldsAsShown(const Tune& tune, Edition edition);

}  // namespace tune
