#include "StartupImage.h"

#include "comlink/Codec.h"
#include "tune/Tune.h"

namespace sim {

Image startupImage() {
    tune::Tune tune = tune::Tune::startup(tune::Edition::BEL);
    tune.check1 = 1;
    Image image{};
    // The start-up Tune always has a valid cylinder count, so the constants exist.
    const auto constants = comlink::calcEngineConstants(tune);
    for (const comlink::ImageWrite& write : comlink::encodeTune(tune, constants.value())) {
        if (write.offset >= 0 && write.offset < static_cast<int>(kImageSize) && write.value >= 0 &&
            write.value <= 255) {
            image[static_cast<std::size_t>(write.offset)] = static_cast<std::uint8_t>(write.value);
        }
    }
    return image;
}

}  // namespace sim
