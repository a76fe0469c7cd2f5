// The simulator's command line.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "sim/Options.h"

namespace {

std::optional<sim::Options> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string message;
    auto options = sim::parseOptions(args, message);
    if (error != nullptr) {
        *error = message;
    }
    return options;
}

TEST(SimOptions, noArgumentsGiveAWellBehavedController) {
    const auto options = parse({});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->revision, 10);
    EXPECT_FALSE(options->faults.silent);
    EXPECT_FALSE(options->faults.shortReplies);
    EXPECT_EQ(options->faults.outOfStepEvery, 0);
    EXPECT_FALSE(options->lineFaults.split);
    EXPECT_FALSE(options->lineFaults.garbage);
    EXPECT_TRUE(options->storePath.empty());
}

TEST(SimOptions, everyOptionIsTaken) {
    const auto options =
        parse({"--store", "s.bin", "--record", "r.bin", "--link", "/tmp/tty", "--revision", "0",
               "--silent", "--short", "--split", "--out-of-step", "4", "--garbage"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->storePath, "s.bin");
    EXPECT_EQ(options->recordPath, "r.bin");
    EXPECT_EQ(options->linkPath, "/tmp/tty");
    EXPECT_EQ(options->revision, 0);
    EXPECT_TRUE(options->faults.silent);
    EXPECT_TRUE(options->faults.shortReplies);
    EXPECT_EQ(options->faults.outOfStepEvery, 4);
    EXPECT_TRUE(options->lineFaults.split);
    EXPECT_TRUE(options->lineFaults.garbage);
}

struct BadCase {
    std::vector<std::string> args;
    std::string error;
};

std::ostream& operator<<(std::ostream& out, const BadCase& c) {
    for (const std::string& arg : c.args) {
        out << arg << ' ';
    }
    return out;
}

class SimOptionsRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(SimOptionsRefused, withAMessageNamingTheArgument) {
    std::string error;
    EXPECT_FALSE(parse(GetParam().args, &error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimOptionsRefused,
    ::testing::Values(BadCase{{"--revision", "256"}, "--revision takes a number from 0 to 255"},
                      BadCase{{"--revision", "-1"}, "--revision takes a number from 0 to 255"},
                      BadCase{{"--revision", "1x"}, "--revision takes a number from 0 to 255"},
                      BadCase{{"--revision"}, "--revision needs a value"},
                      BadCase{{"--store"}, "--store needs a value"},
                      BadCase{{"--out-of-step", "0"}, "--out-of-step takes a number of 1 or more"},
                      BadCase{{"--loud"}, "unknown argument --loud"}));

}  // namespace
