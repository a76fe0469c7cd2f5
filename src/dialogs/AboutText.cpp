#include "dialogs/AboutText.h"

#include "tune/Numeric.h"

namespace dialogs {

std::string revisionLine(int revision) {
    return "Firmware RevNum: " + (revision < 0 ? std::string("??") : num::hex2(revision));
}

std::string versionLine(const std::string& editionName) {
    // The numbers come from the project's version in CMake, so there is one place to bump them.
    return "Version " + num::integerText(VOLCRESTONE_VERSION_MAJOR) + "." +
           num::integerText(VOLCRESTONE_VERSION_MINOR) + "." +
           num::integerText(VOLCRESTONE_VERSION_PATCH) + " " + editionName;
}

}  // namespace dialogs
