#include "tune/Validation.h"

#include "tune/Numeric.h"

namespace tune {

namespace {

double number(const std::string& text) {
    return num::readNumber(text);
}

bool baseTimingReachesStatic(const Tune& tune) {
    const double staticTiming = number(tune.staticTiming);
    bool broken = false;
    for (const std::string& cell : tune.baseTiming) {
        if (staticTiming <= number(cell))
            broken = true;
    }
    return broken;
}

// The crank angle between two sparks, the most the static timing may be.
std::int32_t staticLimit(const Tune& tune) {
    const double cycle = tune.option(Option::Stroke2) ? 360 : 720;
    return num::rnd32(cycle / number(tune.cylinders.text));
}

}  // namespace

std::optional<std::string> firstBrokenRule(const Tune& tune, Edition edition) {
    if (edition != Edition::QOLT) {
        if (baseTimingReachesStatic(tune))
            return "Base Timing must be less than Static Timing!";
        const std::int32_t limit = staticLimit(tune);
        if (number(tune.staticTiming) > limit) {
            return "For a " + std::string(tune.option(Option::Stroke2) ? "2" : "4") + "-stroke " +
                   tune.cylinders.text + " cylinder\r\n" + "the Static Timing can not exceed " +
                   num::integerText(limit) + "!";
        }
    }
    if (number(tune.portedFullTPS) <= number(tune.portedStartTPS))
        return "TPS Start exceeds TPS Full!";
    if (number(tune.portedFullRPM) <= number(tune.portedStartRPM))
        return "RPM Start exceeds RPM Full!";
    if (edition == Edition::BEL && number(tune.knockIncr.text) > 0)
        return "\"Retard increase per knock detect\"\r\nmust be set to 0.0";
    return std::nullopt;
}

}  // namespace tune
