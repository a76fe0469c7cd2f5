#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "comlink/Engine.h"
#include "tune/Tune.h"

// Conversions between the Tune and the controller's 63-byte image.
namespace comlink {

struct EngineConstants {
    std::int32_t rpmK = 0;
    std::int32_t delayK = 0;
    std::int32_t msdK = 0;
};

// CalcEngineConstants: nothing when the cylinder list gives fewer than 2 or more than 12 sparks
// per 720 degrees.
std::optional<EngineConstants> calcEngineConstants(const tune::Tune& tune);

struct ImageWrite {
    int offset;
    int value;  // may lie outside 0..255; writeByte then sends nothing
    bool operator==(const ImageWrite&) const = default;
};

// The 53 writes of a send, in send order, each value computed from the fields as they stand.
std::vector<ImageWrite> encodeTune(const tune::Tune& tune, const EngineConstants& constants);

// ImageToSetup: writes RxBuf 0..62 into the fields in the fixed order (tbMapAdj committed,
// tbMap scaled by "3 Bar", the Edition's cylinder rules). The caller sets the RPM dial's upper
// limit from the rev-limit field afterwards.
void imageToSetup(tune::Tune& tune, const RxBuffer& image, tune::Edition edition);

// Download: hands every write to the engine's writeByte.
void download(Engine& engine, const tune::Tune& tune, const EngineConstants& constants);

}  // namespace comlink
