#include "link/ui/RawLabels.h"

#include "tune/Numeric.h"

namespace link {

std::string rawValueText(int position, int value) {
    constexpr int kEnginePosition = 1;
    return position == kEnginePosition ? "$" + num::hex2(value) : num::integerText(value);
}

}  // namespace link
