#include "tune/Edition.h"

#include <array>
#include <cctype>

namespace tune {

Edition defaultEdition() {
    return Edition::BEL;
}

EditionInfo editionFromCommandLine(std::string_view commandLine) {
    std::string upper(commandLine);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // The order of this list is the order the keywords have always been tried in.
    static const std::array<std::pair<std::string_view, Edition>, 4> keywords{{
        {"ZAV", Edition::ZAV},
        {"BEL", Edition::BEL},
        {"RUK", Edition::RUK},
        {"QOLT", Edition::QOLT},
    }};
    for (const auto& [keyword, edition] : keywords) {
        if (upper == keyword)
            return editionInfo(edition);
    }
    return editionInfo(defaultEdition());
}

EditionInfo editionInfo(Edition edition) {
    switch (edition) {
        case Edition::RUK:
            return {Edition::RUK, "Ruk", "Volcrestone"};
        case Edition::ZAV:
            return {Edition::ZAV, "ZAVI", "Volcrestone"};
        case Edition::QOLT:
            return {Edition::QOLT, "QOLT", "Ferrodyn"};
        case Edition::BEL:
            break;
    }
    return {Edition::BEL, "BEL", "Volcrestone"};
}

}  // namespace tune
