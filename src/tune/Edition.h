#pragma once

#include <string>
#include <string_view>

namespace tune {

// The hardware Edition chosen on the command line. The numbers are the ones the controller's
// tools have always used.
enum class Edition { RUK = 0, BEL = 1, ZAV = 2, QOLT = 3 };

struct EditionInfo {
    Edition edition = Edition::BEL;
    std::string editionName = "BEL";      // settings-file header, About box
    std::string appName = "Volcrestone";  // window captions, message titles, settings key
};

// The Edition when the command line names none.
Edition defaultEdition();

// The whole command line, compared in upper case with "ZAV", "BEL", "RUK" and "QOLT"; anything
// else gives the default Edition.
EditionInfo editionFromCommandLine(std::string_view commandLine);

EditionInfo editionInfo(Edition edition);

}  // namespace tune
