#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "dialogs/AboutText.h"
#include "tune/Edition.h"

namespace {

struct RevisionCase {
    int revision;
    std::string line;
};

class RevisionLineTable : public ::testing::TestWithParam<RevisionCase> {};

TEST_P(RevisionLineTable, showsTheLastTwoHexDigitsOrQuestionMarks) {
    EXPECT_EQ(dialogs::revisionLine(GetParam().revision), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Revisions, RevisionLineTable,
                         ::testing::Values(RevisionCase{0, "Firmware RevNum: 00"},
                                           RevisionCase{5, "Firmware RevNum: 05"},
                                           RevisionCase{10, "Firmware RevNum: 0A"},
                                           RevisionCase{171, "Firmware RevNum: AB"},
                                           RevisionCase{255, "Firmware RevNum: FF"},
                                           RevisionCase{256, "Firmware RevNum: 00"},
                                           RevisionCase{427, "Firmware RevNum: AB"},
                                           RevisionCase{INT_MAX, "Firmware RevNum: FF"},
                                           RevisionCase{-1, "Firmware RevNum: ??"},
                                           RevisionCase{INT_MIN, "Firmware RevNum: ??"}));

struct VersionCase {
    std::string commandLine;
    std::string line;
};

class VersionLineTable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionLineTable, namesVersionOneAndTheEditionOfTheCommandLine) {
    const auto edition = tune::editionFromCommandLine(GetParam().commandLine);
    EXPECT_EQ(dialogs::versionLine(edition.editionName), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Editions, VersionLineTable,
                         ::testing::Values(VersionCase{"", "Version 1.0.0 BEL"},
                                           VersionCase{"ruk", "Version 1.0.0 Ruk"},
                                           VersionCase{"BEL", "Version 1.0.0 BEL"},
                                           VersionCase{"Zav", "Version 1.0.0 ZAVI"},
                                           VersionCase{"qolt", "Version 1.0.0 QOLT"},
                                           VersionCase{"QOLT please", "Version 1.0.0 BEL"}));

}  // namespace
