#include "comlink/ui/RawLabels.h"

#include "tune/Numeric.h"

namespace comlink {

std::string rawValueText(int position, int value) {
    constexpr int kEnginePosition = 1;
    return position == kEnginePosition ? "$" + num::hex2(value) : num::integerText(value);
}

}  // namespace comlink
