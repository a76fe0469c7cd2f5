#pragma once

#include <string>

namespace platform {

// "Settings (*.cfg)|*.cfg|All Files (*.*)|*.*" (description|patterns pairs, patterns split by
// ';') in the form Qt's file dialogs read: "Settings (*.cfg);;All Files (*)". "*.*" means every
// file, with or without an extension.
std::string qtFileFilter(const std::string& filter);

}  // namespace platform
