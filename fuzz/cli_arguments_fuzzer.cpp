// The command line of volcrestone-cli, one argument per input line: any line gives exactly one of
// arguments, help or a reason, and accepted arguments name a known command with its own options,
// the right number of operands and a usable port.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "fuzz/Check.h"

namespace {

std::vector<std::string> argumentsOf(std::string_view text) {
    std::vector<std::string> args;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        args.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return args;
}

void checkAccepted(const cli::Arguments& a) {
    const cli::CommandEntry* entry = cli::findCommand(a.command);
    FUZZ_CHECK(entry != nullptr);
    FUZZ_CHECK(a.operands.size() >= entry->minOperands && a.operands.size() <= entry->maxOperands);
    for (const auto& option : a.options) {
        const auto own =
            std::find_if(entry->options.begin(), entry->options.end(),
                         [&](const cli::CommandOption& o) { return option.first == o.name; });
        FUZZ_CHECK(own != entry->options.end());
        FUZZ_CHECK(own->takesValue != option.second.empty());
    }
    FUZZ_CHECK(a.comNumber >= 1 && a.comNumber <= 4);
    FUZZ_CHECK(!cli::portName(a).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const cli::ParseResult parsed =
        cli::parseArguments(argumentsOf({reinterpret_cast<const char*>(data), size}));
    const int outcomes =
        int{parsed.arguments.has_value()} + int{parsed.helpRequested} + int{!parsed.error.empty()};
    FUZZ_CHECK(outcomes == 1);
    if (parsed.arguments)
        checkAccepted(*parsed.arguments);
    return 0;
}
