#include "comlink/Codec.h"

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

#include "tune/FieldRules.h"
#include "tune/Numeric.h"

namespace comlink {

namespace {

using tune::Option;
using tune::Single;
using tune::Table;

double numberIn(const std::string& text) {
    return num::readNumber(text);
}

int rnd(double value) {
    return num::rnd32(value);
}

// The controller's clock (7372800 / 32) in units of 10 kHz, stored as the single-precision
// number the firmware's tables were computed with.
double clockConstant() {
    return num::toSingle(230400 / 10000.0);
}

constexpr double kThreeBarScale = 1.176;

// Spark patterns of the limiter, keyed by the first three characters of the limiter text.
constexpr std::array<std::pair<std::string_view, int>, 9> kSparkPatterns{{
    {"100", 0},
    {"80%", 16},
    {"75%", 8},
    {"67%", 4},
    {"60%", 20},
    {"50%", 2},
    {"40%", 26},
    {"33%", 6},
    {"25%", 14},
}};

int sparkPattern(const std::string& limitText) {
    const std::string key = tune::limiterKey(limitText);
    for (const auto& [prefix, pattern] : kSparkPatterns) {
        if (key == prefix)
            return pattern;
    }
    return 255;
}

int optionFlags(const tune::Tune& tune) {
    int flags = 0;
    if (tune.option(Option::PortedTPS))
        flags |= 1;
    if (tune.option(Option::PortedRPM))
        flags |= 2;
    if (tune.option(Option::Map115))
        flags |= 4;
    if (tune.invertSpout != 0)
        flags |= 8;
    if (tune.option(Option::UnwindSpark))
        flags |= 16;
    return flags;
}

int cylinderByte(const tune::Tune& tune) {
    int value = rnd(numberIn(tune.cylinders.text));
    if (tune.oddFire != 0)
        value |= 64;
    if (tune.option(Option::Stroke2))
        value |= 128;
    return value;
}

int limiterByte(const tune::Tune& tune) {
    const int index = tune.limitType.index;
    // A typed limiter text selects no entry: there is no type to send, and adding the retard
    // flag to the -1 would turn it into the valid byte 127 (drop, unknown type).
    if (index < 0)
        return index;
    return tune.option(Option::Retard) ? index + 128 : index;
}

int mapByte(const tune::Tune& tune, int cell) {
    const double kpa = numberIn(tune.text(Table::Map, cell));
    return tune.check1 != 0 ? rnd(kpa / kThreeBarScale) : rnd(kpa);
}

// Bytes from the controller are 0..255; anything else in the buffer is read as its low byte.
int byteAt(const RxBuffer& image, int offset) {
    return image[static_cast<std::size_t>(offset)] & 0xFF;
}

std::string halfDegrees(int b) {
    return num::plainDecimal(b / 2.0);
}
std::string fiftyRpm(int b) {
    return num::integerText(std::int64_t{b} * 50);
}

void decodeTables(tune::Tune& tune, const RxBuffer& image) {
    for (int i = 0; i < 6; ++i) {
        tune.text(Table::BaseTiming, i) = halfDegrees(byteAt(image, i));
        tune.text(Table::RPM, i) = fiftyRpm(byteAt(image, 6 + i));
        tune.text(Table::MapAdj, i) = num::plainDecimal((byteAt(image, 12 + i) - 128) / 2.0);
        tune::commit(tune, Table::MapAdj, i);
        const int kpa = byteAt(image, 18 + i);
        tune.text(Table::Map, i) =
            num::integerText(tune.check1 != 0 ? rnd(kpa * kThreeBarScale) : kpa);
    }
}

void decodeOptions(tune::Tune& tune, int flags) {
    if (flags & 1) {
        tune.setOption(Option::PortedTPS, true);
    } else if (flags & 2) {
        tune.setOption(Option::PortedRPM, true);
    } else {
        tune.setOption(Option::PortedNone, true);
    }
    tune.setOption((flags & 4) ? Option::Map115 : Option::Map250, true);
    tune.invertSpout = (flags & 8) ? 1 : 0;
    tune.setOption((flags & 16) ? Option::UnwindSpark : Option::UnwindMsec, true);
}

void decodeCrankDelay(tune::Tune& tune, int b) {
    const int pulses = rnd(std::log(b + 1.0) / std::log(2.0));
    const std::string text = (pulses >= 2 && pulses <= 8) ? num::integerText(pulses) : "3";
    tune.crankDelay.selectText(text);
}

bool isFourStrokeCount(int c) {
    return c == 2 || c == 3 || c == 4 || c == 5 || c == 6 || c == 8 || c == 10 || c == 12;
}

void decodeCylinders(tune::Tune& tune, int b, tune::Edition edition) {
    const bool qolt = edition == tune::Edition::QOLT;
    if (qolt)
        b %= 16;
    tune.oddFire = (b & 64) ? 1 : 0;
    const int count = b & 15;
    std::string text;
    if (b & 128) {
        tune.setOption(Option::Stroke2, true);
        text = (count >= 1 && count <= 6) ? num::integerText(count) : "4";
    } else {
        if (!qolt)
            tune.setOption(Option::Stroke4, true);
        text = isFourStrokeCount(count) ? num::integerText(count) : "4";
    }
    tune.cylinders.selectText(text);
}

void decodeLimiter(tune::Tune& tune, int b) {
    tune.setOption(Option::Drop, true);
    if (b > 127) {
        tune.setOption(Option::Retard, true);
        b -= 128;
    }
    if (!tune.limitType.select(b))
        tune.limitType.select(0);
}

void decodeChannel(tune::Tune& tune, int output, int b) {
    tune::ListField& channel = tune.outputs[static_cast<std::size_t>(output)].channel;
    if (!channel.select(b))
        channel.select(0);
    tune.channelChanged(output);
}

}  // namespace

std::optional<EngineConstants> calcEngineConstants(const tune::Tune& tune) {
    // Wide enough that doubling an absurd cylinder text cannot overflow.
    std::int64_t sparks = rnd(numberIn(tune.cylinders.text));
    if (tune.option(Option::Stroke2))
        sparks *= 2;
    if (sparks < 2 || sparks > 12)
        return std::nullopt;

    const double sparksPer720 = static_cast<double>(sparks);
    const int degreesBetweenSparks = rnd(720 / sparksPer720);
    EngineConstants constants;
    constants.msdK = rnd(45 / sparksPer720 * 8);
    constants.delayK = rnd(65536.0 / degreesBetweenSparks);
    constants.rpmK = rnd(clockConstant() / sparksPer720 * 1200000);
    return constants;
}

std::vector<ImageWrite> encodeTune(const tune::Tune& tune, const EngineConstants& constants) {
    std::vector<ImageWrite> writes;
    writes.reserve(53);
    const auto put = [&writes](int offset, int value) { writes.push_back({offset, value}); };
    const auto halfDegreeByte = [&tune](Single field) {
        return rnd(numberIn(tune.text(field)) * 2);
    };
    const auto fiftyRpmByte = [&tune](Single field) {
        return rnd(numberIn(tune.text(field)) / 50);
    };
    const auto tpsByte = [&tune](Single field) {
        return rnd(numberIn(tune.text(field)) * 255 / 5);
    };

    for (int i = 0; i < 6; ++i) {
        put(i, rnd(numberIn(tune.text(Table::BaseTiming, i)) * 2));
        put(6 + i, rnd(numberIn(tune.text(Table::RPM, i)) / 50));
        put(12 + i, rnd(numberIn(tune.text(Table::MapAdj, i)) * 2 + 128));
        put(18 + i, mapByte(tune, i));
    }
    put(24, tpsByte(Single::PortedStartTPS));
    put(25, tpsByte(Single::PortedFullTPS));
    put(26, halfDegreeByte(Single::Static));
    put(27, halfDegreeByte(Single::Static));
    put(28, fiftyRpmByte(Single::PortedStartRPM));
    put(29, fiftyRpmByte(Single::PortedFullRPM));
    put(30, optionFlags(tune));
    put(31, halfDegreeByte(Single::CrankAdv));
    put(32, fiftyRpmByte(Single::CrankRPM));
    put(33, rnd(std::pow(2.0, numberIn(tune.crankDelay.text)) - 1));

    const std::int64_t rpmK = constants.rpmK;
    put(34, static_cast<int>((rpmK >> 24) & 0xFF));
    put(35, static_cast<int>((rpmK >> 16) & 0xFF));
    put(36, static_cast<int>((rpmK >> 8) & 0xFF));
    put(37, static_cast<int>(rpmK & 0xFF));
    put(38, (constants.delayK >> 8) & 0xFF);
    put(39, constants.delayK & 0xFF);
    put(40, (constants.msdK >> 8) & 0xFF);
    put(41, constants.msdK & 0xFF);

    put(42, cylinderByte(tune));
    put(43, rnd(numberIn(tune.outputs[0].raw)));
    put(44, rnd(numberIn(tune.outputs[1].raw)));
    put(45, fiftyRpmByte(Single::RPMlimit));
    put(46, limiterByte(tune));
    put(47, sparkPattern(tune.limitType.text));
    put(48, tune.xled.index);
    put(50, tune.knockIncr.index);
    put(51, rnd(numberIn(tune.text(Single::UnwindRate))));
    put(52, tune.outputs[0].channel.index);
    put(53, tune.outputs[1].channel.index);
    return writes;
}

void imageToSetup(tune::Tune& tune, const RxBuffer& image, tune::Edition edition) {
    decodeTables(tune, image);

    tune.text(Single::PortedStartTPS) = num::formatFixed(byteAt(image, 24) * 5 / 255.0, 1);
    tune.text(Single::PortedFullTPS) = num::formatFixed(byteAt(image, 25) * 5 / 255.0, 1);
    tune.text(Single::Static) = num::formatFixed(byteAt(image, 26) / 2.0, 1);
    tune.text(Single::PortedStartRPM) = fiftyRpm(byteAt(image, 28));
    tune.text(Single::PortedFullRPM) = fiftyRpm(byteAt(image, 29));

    decodeOptions(tune, byteAt(image, 30));
    tune.text(Single::CrankAdv) = halfDegrees(byteAt(image, 31));
    tune.text(Single::CrankRPM) = fiftyRpm(byteAt(image, 32));
    decodeCrankDelay(tune, byteAt(image, 33));

    decodeCylinders(tune, byteAt(image, 42), edition);

    // The raw thresholds first: the channel handlers below turn them into texts.
    tune.outputs[0].raw = num::integerText(byteAt(image, 43));
    tune.outputs[1].raw = num::integerText(byteAt(image, 44));

    tune.text(Single::RPMlimit) = fiftyRpm(byteAt(image, 45));
    decodeLimiter(tune, byteAt(image, 46));

    tune.xled.select(byteAt(image, 48));
    tune.knockIncr.select(byteAt(image, 50));
    tune.text(Single::UnwindRate) = num::integerText(byteAt(image, 51));

    decodeChannel(tune, 0, byteAt(image, 52));
    decodeChannel(tune, 1, byteAt(image, 53));
}

void download(Engine& engine, const tune::Tune& tune, const EngineConstants& constants) {
    for (const ImageWrite& write : encodeTune(tune, constants)) {
        engine.writeByte(write.offset, write.value);
    }
}

}  // namespace comlink
