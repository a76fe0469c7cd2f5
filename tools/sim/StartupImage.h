#pragma once

#include "Image.h"

namespace sim {

// What a fresh controller holds: the start-up Tune of the Edition BEL with "3 Bar" checked,
// encoded as a send would write it. Offsets a send never writes stay 0.
Image startupImage();

}  // namespace sim
