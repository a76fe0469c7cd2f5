#pragma once

#include <string>

#include "plot/Canvas.h"

namespace cli {

class Runner;

// Writes the canvas as a PNG file, whole or not at all: a failed write leaves no half picture
// behind. Says "Could not write PATH: REASON" on standard error when it fails.
bool writePng(Runner& runner, const plot::Canvas& canvas, const std::string& path);

}  // namespace cli
