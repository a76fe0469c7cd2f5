#include "EngineModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

constexpr int kTableSize = 6;
constexpr int kBaseTiming = 0;
constexpr int kRpmBreakpoints = 6;
constexpr int kMapAdjust = 12;
constexpr int kMapBreakpoints = 18;
constexpr int kRpmStep = 50;
constexpr int kNeutralAdjust = 128;

double wave(double seconds, double period) {
    return std::sin(2.0 * std::numbers::pi * seconds / period);
}

std::uint8_t byteOf(long value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0L, 255L));
}

// Linear between the first pair of breakpoints that brackets x. Reaching pair i means x lies
// above every earlier breakpoint, so the pair always rises and an unsorted table cannot make us
// divide by zero.
double interpolate(const int (&xs)[kTableSize], const int (&ys)[kTableSize], int x) {
    if (x <= xs[0]) {
        return ys[0];
    }
    for (int i = 1; i < kTableSize; ++i) {
        if (x <= xs[i]) {
            const double share = static_cast<double>(x - xs[i - 1]) / (xs[i] - xs[i - 1]);
            return ys[i - 1] + share * (ys[i] - ys[i - 1]);
        }
    }
    return ys[kTableSize - 1];
}

}  // namespace

int advanceHalfDegrees(const Image& image, int rpm, int kpaByte) {
    int rpmPoints[kTableSize];
    int basePoints[kTableSize];
    int kpaPoints[kTableSize];
    int adjustPoints[kTableSize];
    for (int i = 0; i < kTableSize; ++i) {
        rpmPoints[i] = image[static_cast<std::size_t>(kRpmBreakpoints + i)] * kRpmStep;
        basePoints[i] = image[static_cast<std::size_t>(kBaseTiming + i)];
        kpaPoints[i] = image[static_cast<std::size_t>(kMapBreakpoints + i)];
        adjustPoints[i] = image[static_cast<std::size_t>(kMapAdjust + i)] - kNeutralAdjust;
    }
    const double total =
        interpolate(rpmPoints, basePoints, rpm) + interpolate(kpaPoints, adjustPoints, kpaByte);
    return std::clamp(static_cast<int>(std::lround(total)), -64, 191);
}

std::uint8_t advanceByte(int halfDegrees) {
    return static_cast<std::uint8_t>(halfDegrees < 0 ? halfDegrees + 256 : halfDegrees);
}

void keepMoving(Frame& frame, const Frame& previous) {
    // tps, batt, ego, kpa, rpm_lo, coolant, afrwbo2, ignition, ign_msd, coolant2
    static constexpr std::size_t kShown[] = {5, 6, 7, 11, 13, 14, 17, 19, 20, 26};
    for (const std::size_t at : kShown) {
        if (frame[at] == previous[at]) {
            frame[at] ^= 1u;  // the low bit only: never a carry into the next byte
        }
    }
}

namespace {

// One drive cycle in seconds: idle, a ramp to wide open, a hold at the limiter, a lift-off and
// a coast down.
constexpr double kCycle = 20.0, kIdleEnd = 3.0, kRampEnd = 11.0, kHoldEnd = 12.5;
constexpr double kIdleRpm = 900.0;

// The throttle opening 0..1 `seconds` after power-up.
double throttleAt(double seconds) {
    const double t = std::fmod(seconds, kCycle);
    if (t < kIdleEnd) {
        return 0.0;
    }
    if (t < kRampEnd) {
        return std::min(1.0, (t - kIdleEnd) / 1.5);
    }
    return t < kHoldEnd ? 1.0 : 0.0;
}

}  // namespace

Frame realtimeFrame(std::int64_t elapsedMs, std::uint8_t secl, const Image& image) {
    const double t = static_cast<double>(elapsedMs) / 1000.0;
    const double inCycle = std::fmod(t, kCycle);
    // A limiter set below a usable speed (or none) lets the sweep run to 6500 rpm.
    const double stored = static_cast<double>(image[45]) * kRpmStep;
    const double limit = stored >= 2000.0 ? stored : 6500.0;
    // Speed: idle, a sweep up to the limiter, a short bounce on it, then a coast back to idle.
    double rpm = kIdleRpm;
    if (inCycle >= kIdleEnd && inCycle < kRampEnd) {
        rpm = kIdleRpm + (limit - kIdleRpm) * (inCycle - kIdleEnd) / (kRampEnd - kIdleEnd);
    } else if (inCycle >= kRampEnd && inCycle < kHoldEnd) {
        rpm = limit - 120.0 * (0.5 + 0.5 * wave(t, 0.3));
    } else if (inCycle >= kHoldEnd) {
        rpm = kIdleRpm + (limit - kIdleRpm) * std::exp(-(inCycle - kHoldEnd) / 1.6);
    }
    rpm += 12.0 * wave(t, 1.3);
    const double throttle = throttleAt(t);
    // Manifold pressure in kPa: light vacuum at idle, near atmosphere with the throttle open,
    // deep vacuum while coasting; the sensor byte reads it on a 3-bar scale.
    const double kpaTrue =
        throttle > 0.0 ? 38.0 + 60.0 * throttle : (rpm > kIdleRpm + 300.0 ? 22.0 : 38.0);
    const long kpa = std::lround((kpaTrue + 1.5 * wave(t, 5.0)) / 1.176);
    const long coolantF = std::lround(60.0 + 125.0 * (1.0 - std::exp(-t / 180.0)));
    const bool rich = throttle > 0.5 || wave(t, 1.2) > 0.0;
    const long rpmWhole = std::lround(rpm);
    const long sparks = std::lround(t * rpm / 30.0);
    const long sparkPeriod = std::lround(230400.0 * 30.0 / rpm);
    const std::uint8_t advance =
        advanceByte(advanceHalfDegrees(image, static_cast<int>(rpmWhole), static_cast<int>(kpa)));

    Frame frame{};
    frame[0] = secl;
    frame[1] = throttle > 0.9 ? 0x05 : 0x01;  // engine: running, full load
    frame[2] = byteOf(kpa * 2);               // map sensor count
    frame[3] = byteOf(115);                   // air temperature sensor count
    frame[4] = byteOf(200 - coolantF / 2);    // coolant sensor count falls as it warms
    frame[5] = byteOf(std::lround(26.0 + 204.0 * throttle + wave(t, 3.1)));  // 0.5 .. 4.5 V
    frame[6] = byteOf(117 + std::lround(wave(t, 11.0)));                     // about 13.8 V
    frame[7] = byteOf(rich ? 41 : 8);  // narrow-band oxygen sensor switching
    frame[8] = 0;
    frame[9] = 0;
    frame[10] = byteOf(rpmWhole / 100);
    frame[11] = byteOf(kpa);
    frame[12] = byteOf(rpmWhole / 256);
    frame[13] = byteOf(rpmWhole % 256);
    frame[14] = byteOf(coolantF + 40);
    frame[15] = byteOf(static_cast<long>(elapsedMs / 1000 % 256));
    frame[16] = 0;
    frame[17] = byteOf(std::lround((throttle > 0.5 ? 126.0 : 147.0) + 3.0 * wave(t, 1.2)));
    frame[18] = byteOf(75 + 40);
    frame[19] = advance;
    frame[20] = advance;
    frame[21] = byteOf(sparks / 256 % 256);
    frame[22] = byteOf(sparks % 256);
    frame[23] = byteOf(sparkPeriod / 65536 % 256);
    frame[24] = byteOf(sparkPeriod / 256 % 256);
    frame[25] = byteOf(sparkPeriod % 256);
    frame[26] = byteOf(coolantF);
    return frame;
}

}  // namespace sim
