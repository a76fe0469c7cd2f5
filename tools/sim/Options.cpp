#include "Options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string_view>
#include <utility>

namespace sim {

namespace {

constexpr OptionHelp kOptions[] = {
    {"--link", "PATH", "also reach the terminal through a symbolic link at PATH"},
    {"--store", "FILE", "keep the stored Tune in FILE between runs"},
    {"--record", "FILE", "append every byte the host sends to FILE"},
    {"--revision", "N", "answer N (0 to 255) to the revision query; 10 by default"},
    {"--s19-out", "FILE", "write the last firmware upload's lines to FILE at the end"},
    {"--silent", "", "answer nothing at all"},
    {"--short", "", "every reply loses its last byte"},
    {"--split", "", "replies arrive in pieces of 7 bytes with short pauses"},
    {"--out-of-step", "N", "every Nth frame of the live stream jumps its sequence number"},
    {"--garbage", "", "stray bytes arrive while the controller has nothing to say"},
    {"--answer-garbage", "", "every reply comes as as many meaningless bytes"},
    {"--slow", "", "replies crawl at 96 bytes a second, a tenth of the line rate"},
    {"--slow-rate", "N", "replies crawl at N bytes a second (1 to 960)"},
    {"--rate", "N", "stream N live frames a second (1 to 1000), every shown value moving"},
    {"--vanish-after", "N", "the terminal goes away after N bytes from the host"},
    {"--in-bootloader", "",
     "start waiting at the bootloader's prompt, as an interrupted update\nleaves the controller"},
    {"--boot-fault", "KIND[:ANSWER]",
     "spoil the bootloader's answer ANSWER (prompt, ack or complete; all three\n"
     "when none is named) with KIND: wrong, late, blank, split or silent"},
    {"--help", "", "print this usage and exit"},
};

constexpr std::size_t kSummaryColumn = 24;

const OptionHelp* knownOption(const std::string& name) {
    const auto found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                    [&name](const OptionHelp& o) { return name == o.name; });
    return found == std::end(kOptions) ? nullptr : found;
}

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

std::span<const OptionHelp> optionTable() {
    return kOptions;
}

std::string usageText() {
    std::string text =
        "usage: volcrestone-sim [OPTION]...\n"
        "Answers as the ignition controller does on a pseudo-terminal whose path it prints.\n";
    for (const OptionHelp& option : kOptions) {
        std::string line = std::string("  ") + option.name;
        if (*option.value != '\0') {
            line += std::string(" ") + option.value;
        }
        // A long option gets its summary on the next line; a summary goes on over several.
        const std::string indent(kSummaryColumn, ' ');
        line += line.size() + 2 > kSummaryColumn ? "\n" + indent
                                                 : std::string(kSummaryColumn - line.size(), ' ');
        for (const char c : std::string_view(option.summary)) {
            line += c == '\n' ? "\n" + indent : std::string(1, c);
        }
        text += line + "\n";
    }
    return text;
}

std::optional<Options> parseOptions(std::span<const std::string> args, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            Options help;
            help.help = true;
            return help;
        }
        const OptionHelp* known = knownOption(arg);
        if (known == nullptr) {
            error = "unknown argument " + arg;
            return std::nullopt;
        }
        if (*known->value != '\0' && i + 1 >= args.size()) {
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
        } else if (arg == "--in-bootloader") {
            options.inBootloader = true;
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
        }
    }
    return options;
}

}  // namespace sim
