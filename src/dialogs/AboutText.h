#pragma once

#include <string>

// The texts of the About box, kept apart from the window so they can be checked without one.
namespace dialogs {

// "Firmware RevNum: " and the revision as two hexadecimal digits; "??" while none is known
// (a negative number).
std::string revisionLine(int revision);

// "Version " with the program's major.minor.revision, a blank and the Edition's name.
std::string versionLine(const std::string& editionName);

}  // namespace dialogs
