#include "Options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <utility>

namespace sim {

namespace {

std::optional<int> wholeNumber(const std::string& text, int lowest, int highest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (fault != std::errc() || stop != end || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

// KIND or KIND:ANSWER; without an answer named, all three answers get the fault.
bool addBootFault(const std::string& text, BootFaults& faults) {
    const std::size_t colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const std::string which = colon == std::string::npos ? "" : text.substr(colon + 1);
    const std::pair<const char*, BootFault> kinds[] = {{"wrong", BootFault::Wrong},
                                                       {"late", BootFault::Late},
                                                       {"blank", BootFault::Blank},
                                                       {"split", BootFault::Split},
                                                       {"silent", BootFault::Silent}};
    const auto found = std::find_if(std::begin(kinds), std::end(kinds),
                                    [&kind](const auto& entry) { return kind == entry.first; });
    if (found == std::end(kinds)) {
        return false;
    }
    const std::pair<const char*, BootFault*> answers[] = {
        {"prompt", &faults.prompt}, {"ack", &faults.acknowledge}, {"complete", &faults.complete}};
    bool named = false;
    for (const auto& [name, fault] : answers) {
        if (which.empty() || which == name) {
            *fault = found->second;
            named = true;
        }
    }
    return named;
}

}  // namespace

std::optional<Options> parseOptions(std::span<const std::string> args, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--store" || arg == "--record" || arg == "--link" ||
                                arg == "--revision" || arg == "--out-of-step" ||
                                arg == "--vanish-after" || arg == "--s19-out" ||
                                arg == "--boot-fault" || arg == "--slow-rate" || arg == "--rate";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        if (arg == "--store") {
            options.storePath = args[++i];
        } else if (arg == "--record") {
            options.recordPath = args[++i];
        } else if (arg == "--link") {
            options.linkPath = args[++i];
        } else if (arg == "--s19-out") {
            options.s19Path = args[++i];
        } else if (arg == "--boot-fault") {
            if (!addBootFault(args[++i], options.faults.boot)) {
                error =
                    "--boot-fault takes wrong, late, blank, split or silent, then "
                    "optionally :prompt, :ack or :complete";
                return std::nullopt;
            }
        } else if (arg == "--revision") {
            const auto value = wholeNumber(args[++i], 0, 255);
            if (!value) {
                error = arg + " takes a number from 0 to 255";
                return std::nullopt;
            }
            options.revision = *value;
        } else if (arg == "--slow-rate") {
            const auto value = wholeNumber(args[++i], 1, 960);
            if (!value) {
                error = "--slow-rate takes 1 to 960 bytes a second";
                return std::nullopt;
            }
            options.lineFaults.slowBytesPerSecond = *value;
        } else if (arg == "--rate") {
            const auto value = wholeNumber(args[++i], 1, 1000);
            if (!value) {
                error = "--rate takes 1 to 1000 frames a second";
                return std::nullopt;
            }
            options.rate = *value;
        } else if (arg == "--out-of-step" || arg == "--vanish-after") {
            const auto value = wholeNumber(args[++i], 1, 1000000);
            if (!value) {
                error = arg + " takes a number of 1 or more";
                return std::nullopt;
            }
            (arg == "--out-of-step" ? options.faults.outOfStepEvery : options.vanishAfter) = *value;
        } else if (arg == "--silent") {
            options.faults.silent = true;
        } else if (arg == "--short") {
            options.faults.shortReplies = true;
        } else if (arg == "--answer-garbage") {
            options.faults.garbageReplies = true;
        } else if (arg == "--split") {
            options.lineFaults.split = true;
        } else if (arg == "--garbage") {
            options.lineFaults.garbage = true;
        } else if (arg == "--slow") {
            options.lineFaults.slowBytesPerSecond = 96;  // a tenth of the line rate
        } else {
            error = "unknown argument " + arg;
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace sim
