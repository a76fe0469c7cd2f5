#pragma once

#include <optional>
#include <string>

#include "Image.h"

// The controller's permanent memory, kept in a file between runs of the simulator.
namespace sim {

// The stored image, or nothing when the file is missing, unreadable or not exactly 63 bytes.
std::optional<Image> loadImage(const std::string& path);

// Writes the image to a temporary file beside `path` and renames it over `path`, so a reader
// never sees half an image. False when any step fails (the old file is then left alone).
bool saveImage(const std::string& path, const Image& image);

}  // namespace sim
