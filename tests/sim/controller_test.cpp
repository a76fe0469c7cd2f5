// The simulated controller fed bytes directly; the end-to-end tests run it as a process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "sim/Controller.h"
#include "sim/Options.h"
#include "sim/SerialLine.h"

namespace {

using sim::Bytes;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

sim::Controller controllerWith(sim::Faults faults = {}, std::string store = {}) {
    sim::ControllerSetup setup;
    for (std::size_t i = 0; i < setup.firstImage.size(); ++i)
        setup.firstImage[i] = static_cast<std::uint8_t>(i + 100);
    setup.storePath = std::move(store);
    setup.faults = faults;
    return sim::Controller(setup);
}

TEST(SimController, writesComeBackInTheUploadedImage) {
    auto controller = controllerWith();
    EXPECT_TRUE(controller.receive(Bytes{'W', 7, 0, 'W'}, 0).empty());
    controller.receive(Bytes{12}, 1);
    controller.receive(Bytes{'U'}, 2);         // the value byte, not an upload request
    controller.receive(Bytes{'W', 63, 1}, 3);  // past the image: ignored, but keeps step
    const Bytes image = controller.receive(text("U"), 4);
    ASSERT_EQ(image.size(), 63u);
    EXPECT_EQ((Bytes{image[0], image[7], image[12], image[62]}), (Bytes{100, 0, 'U', 162}));
}

// A store of 63 bytes is an image (the burned one), any other size is not.
TEST(SimStore, theBurnedImageIsWhatTheNextControllerStartsWithAndOnly63BytesAreOne) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vc-sim-store-" + std::to_string(::getpid()));
    {
        auto first = controllerWith({}, path.string());
        first.receive(Bytes{'W', 0, 42, 'B', 'W', 1, 5}, 0);  // the last write is never burned
    }
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
    const sim::Image image = controllerWith({}, path.string()).workingImage();
    EXPECT_EQ((Bytes{image[0], image[1]}), (Bytes{42, 101}));
    for (const std::size_t size : {62u, 64u}) {
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        EXPECT_EQ(controllerWith({}, path.string()).workingImage()[30], 130) << size;
    }
    std::filesystem::remove(path);
}

TEST(SimBootloader, promptsAcknowledgesCompletesOnTheEndRecordAndXLeavesIt) {
    auto controller = controllerWith();
    EXPECT_TRUE(controller.receive(text("!"), 0).empty());
    EXPECT_TRUE(controller.receive(text("uQU@"), 100).empty());  // nothing before the prompt
    EXPECT_EQ(controller.receive(text("\r"), 1500), text("\r\nBoot>"));
    EXPECT_EQ(controller.receive(text("u"), 1600), text("u - waiting ..."));
    EXPECT_TRUE(controller.receive(text("S00600004844521B\rS9030"), 1700).empty());
    EXPECT_TRUE(controller.advance(5000).empty());  // a pause is no end
    // The lines kept: see the command-line tool's flashing test, which writes them out.
    EXPECT_EQ(controller.receive(text("000FC\r"), 5100), text("  Complete\r\nBoot>\r\nBoot>"));
    controller.receive(text("x"), 5200);
    EXPECT_EQ(controller.receive(text("Q"), 5300), Bytes{10});
}

TEST(SimBootloader, eachAnswerCanComeWrongLateWithABlankSplitOrNotAtAll) {
    using sim::BootFault;
    // The fault, then what is answered with the carriage return, 249 ms, 250 ms and 2500 ms later.
    const std::tuple<BootFault, std::string, std::string, std::string, std::string> rows[] = {
        {BootFault::Wrong, "\nBoot>", "", "", ""},
        {BootFault::Blank, "\r\nBoot> ", "", "", ""},
        {BootFault::Split, "\r\nB", "", "oot>", ""},
        {BootFault::Late, "", "", "", "\r\nBoot>"},
        {BootFault::Silent, "", "", "", ""}};
    for (const auto& [fault, atOnce, at249, at250, at2500] : rows) {
        SCOPED_TRACE(atOnce + "|" + at250 + "|" + at2500);
        auto controller = controllerWith({.boot = {.prompt = fault}});
        controller.receive(text("!"), 0);
        const std::vector<Bytes> answered{controller.receive(text("\r"), 1000),
                                          controller.advance(1249), controller.advance(1250),
                                          controller.advance(3499), controller.advance(3500)};
        EXPECT_EQ(answered,
                  (std::vector<Bytes>{text(atOnce), text(at249), text(at250), {}, text(at2500)}));
        EXPECT_EQ(controller.nextDueMs(), std::nullopt);
        EXPECT_EQ(controller.receive(text("u"), 4000), text("u - waiting ..."));
    }
}

TEST(SimFaults, silentControllerStillStoresWritesAndShortRepliesLoseTheirLastByte) {
    auto silent = controllerWith({.silent = true});
    EXPECT_TRUE(silent.receive(Bytes{'W', 3, 9, 'U'}, 0).empty());
    EXPECT_EQ(silent.workingImage()[3], 9);
    auto controller = controllerWith({.shortReplies = true});
    EXPECT_EQ(controller.receive(text("U"), 0).size(), 62u);
    EXPECT_TRUE(controller.receive(text("Q"), 0).empty());
    controller.receive(text("!"), 0);
    EXPECT_EQ(controller.receive(text("\r"), 1500), text("\r\nBoot"));
}

TEST(SimFaults, garbageRepliesKeepTheirLengthAndASlowLineCarries96BytesASecond) {
    auto garbage = controllerWith({.garbageReplies = true});
    const Bytes image = garbage.receive(text("U"), 0);
    ASSERT_EQ(image.size(), 63u);
    EXPECT_NE(image, controllerWith().receive(text("U"), 0));
    EXPECT_EQ(garbage.receive(text("Q"), 0).size(), 1u);

    auto controller = controllerWith();
    sim::SerialLine slow(controller, {.slowBytesPerSecond = 96});
    slow.fromHost(text("U"), 1000);
    std::size_t carried = 0;
    for (std::int64_t ms = 1000; ms < 1500; ++ms)
        carried += slow.toHost(ms).size();
    EXPECT_EQ(carried, 49u) << "half a second, and the first byte at once";
    EXPECT_EQ(slow.nextDueMs(), 1510);
    for (std::int64_t ms = 1500; ms < 1700; ++ms)
        carried += slow.toHost(ms).size();
    EXPECT_EQ(carried, 63u);
    EXPECT_EQ(slow.nextDueMs(), std::nullopt);
}

TEST(SimStream, atARateFramesComeOnTimeAndEveryShownValueMovesInEach) {
    sim::ControllerSetup setup;
    setup.framesPerSecond = 32;
    sim::Controller controller(setup);
    controller.receive(text("M"), 0);
    Bytes before = controller.advance(0);
    for (std::int64_t ms = 31; ms <= 31 * 40; ms += 31) {
        ASSERT_EQ(controller.nextDueMs(), ms);
        const Bytes frame = controller.advance(ms);
        ASSERT_EQ(frame.size(), 30u);
        for (const std::size_t at : {5u, 6u, 7u, 11u, 13u, 14u, 17u, 19u, 20u, 26u})
            EXPECT_NE(frame[at], before[at]) << "byte " << at << " at " << ms << " ms";
        before = frame;
    }
}

TEST(SimOptions, takeTheShortRepliesLineRateAndBootFaultOptions) {
    using sim::BootFault;
    std::string error;
    // --store, --s19-out and --vanish-after: see the command-line tool's tests.
    const std::vector<std::string> args{"--short",      "--boot-fault", "late",
                                        "--boot-fault", "blank:ack",    "--answer-garbage",
                                        "--slow",       "--rate",       "32"};
    const auto options = sim::parseOptions(args, error);
    ASSERT_TRUE(options) << error;
    const sim::Faults& faults = options->faults;
    EXPECT_EQ(
        std::tie(faults.boot.prompt, faults.boot.acknowledge, faults.boot.complete,
                 options->lineFaults.slowBytesPerSecond, options->rate, faults.shortReplies,
                 faults.garbageReplies, options->help),
        std::tuple(BootFault::Late, BootFault::Blank, BootFault::Late, 96, 32, true, true, false));
    EXPECT_TRUE(sim::parseOptions(std::vector<std::string>{"--store", "s.bin", "-h"}, error)->help);
}

TEST(SimOptions, refuseABadArgumentWithAMessageNamingIt) {
    const std::string kBootFaultError =
        "--boot-fault takes wrong, late, blank, split or silent, then optionally :prompt, :ack "
        "or :complete";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--revision", "256"}, "--revision takes a number from 0 to 255"},
        {{"--revision", "1x"}, "--revision takes a number from 0 to 255"},
        {{"--store"}, "--store needs a value"},
        {{"--vanish-after", "0"}, "--vanish-after takes a number of 1 or more"},
        {{"--slow-rate", "0"}, "--slow-rate takes 1 to 960 bytes a second"},
        {{"--rate", "1001"}, "--rate takes 1 to 1000 frames a second"},
        {{"--boot-fault", "loud"}, kBootFaultError},
        {{"--boot-fault", "late:menu"}, kBootFaultError},
        {{"--loud"}, "unknown argument --loud"}};
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(message);
        std::string error;
        EXPECT_FALSE(sim::parseOptions(args, error));
        EXPECT_EQ(error, message);
    }
}

}  // namespace
