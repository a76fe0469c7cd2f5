#include "cli/Arguments.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "cli/Commands.h"

namespace cli {

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::optional<tune::Edition> editionNamed(const std::string& name) {
    const std::string key = upper(name);
    if (key == "RUK")
        return tune::Edition::RUK;
    if (key == "BEL")
        return tune::Edition::BEL;
    if (key == "ZAV")
        return tune::Edition::ZAV;
    if (key == "QOLT")
        return tune::Edition::QOLT;
    return std::nullopt;
}

// COM1..COM4 in any letter case; anything else is a device path.
std::optional<int> comNumberOf(const std::string& port) {
    const std::string key = upper(port);
    if (key.size() == 4 && key.compare(0, 3, "COM") == 0 && key[3] >= '1' && key[3] <= '4') {
        return key[3] - '0';
    }
    return std::nullopt;
}

ParseResult refused(std::string why) {
    ParseResult result;
    result.error = std::move(why);
    return result;
}

// Any command's option of that name; options may stand before the command's name, so the
// whole table is asked.
const CommandOption* commandOption(const std::string& name) {
    for (const CommandEntry& entry : commandTable()) {
        for (const CommandOption& option : entry.options) {
            if (name == option.name) {
                return &option;
            }
        }
    }
    return nullptr;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

bool offers(const CommandEntry& entry, const std::string& option) {
    return std::any_of(entry.options.begin(), entry.options.end(),
                       [&](const CommandOption& o) { return option == o.name; });
}

}  // namespace

std::string Arguments::option(const std::string& name) const {
    const auto it = options.find(name);
    return it == options.end() ? std::string() : it->second;
}

ParseResult parseArguments(const std::vector<std::string>& args) {
    Arguments arguments;
    arguments.edition = tune::defaultEdition();
    std::vector<std::string> words;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (const std::size_t equals = option.find('=');
            option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
        }
        const auto takeValue = [&]() -> std::optional<std::string> {
            if (value)
                return value;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };

        if (option == "--help" || option == "-h") {
            ParseResult help;
            help.helpRequested = true;
            return help;
        }
        if (option == "--port") {
            const std::optional<std::string> port = takeValue();
            if (!port || port->empty())
                return refused("--port needs a device or COM1..COM4");
            if (const std::optional<int> number = comNumberOf(*port)) {
                arguments.comNumber = *number;
                arguments.device.clear();
            } else {
                arguments.device = *port;
            }
        } else if (option == "--edition") {
            const std::optional<std::string> name = takeValue();
            const std::optional<tune::Edition> edition = name ? editionNamed(*name) : std::nullopt;
            if (!edition)
                return refused("--edition needs RUK, BEL, ZAV or QOLT");
            arguments.edition = *edition;
        } else if (option == "--no-3bar" && !value) {
            arguments.threeBar = false;
        } else if (const CommandOption* own = commandOption(option)) {
            if (own->takesValue) {
                const std::optional<std::string> given = takeValue();
                if (!given || given->empty())
                    return refused(option + " needs a value");
                arguments.options[option] = *given;
            } else if (value) {
                return refused(option + " takes no value");
            } else {
                arguments.options[option] = "";
            }
        } else if (option.size() > 1 && option[0] == '-') {
            return refused("unknown option " + args[i]);
        } else {
            words.push_back(args[i]);
        }
    }

    if (words.empty())
        return refused("no command given");
    const CommandEntry* entry = findCommand(words[0]);
    if (entry == nullptr)
        return refused("unknown command " + words[0]);
    arguments.command = words[0];
    arguments.operands.assign(words.begin() + 1, words.end());
    if (arguments.operands.size() < entry->minOperands ||
        arguments.operands.size() > entry->maxOperands)
        return refused("wrong number of arguments for " + arguments.command);
    for (const auto& [name, ignored] : arguments.options) {
        if (!offers(*entry, name))
            return refused(arguments.command + " does not take " + name);
    }

    ParseResult result;
    result.arguments = std::move(arguments);
    return result;
}

std::string usageText() {
    // Each way of using a command, with its summary; the summaries line up in one column, and a
    // use too long for it has its summary on the next line rather than pushing every other
    // summary to the right.
    constexpr std::size_t kWidestColumn = 40;
    std::vector<std::pair<std::string, std::string>> lines;
    std::size_t column = 0;
    for (const CommandEntry& entry : commandTable()) {
        const std::vector<std::string> operands = linesOf(entry.operands);
        const std::vector<std::string> summaries = linesOf(entry.summary);
        for (std::size_t i = 0; i < operands.size(); ++i) {
            std::string use = std::string("  ") + entry.name;
            if (!operands[i].empty())
                use += " " + operands[i];
            if (use.size() + 2 <= kWidestColumn)
                column = std::max(column, use.size() + 2);
            lines.emplace_back(use, i < summaries.size() ? summaries[i] : "");
        }
    }
    std::string text =
        "usage: volcrestone-cli [--port DEVICE|COM1..COM4] [--edition RUK|BEL|ZAV|QOLT] "
        "[--no-3bar] COMMAND\n"
        "commands:\n";
    for (auto& [use, summary] : lines) {
        use += use.size() + 2 > column ? "\n" + std::string(column, ' ')
                                       : std::string(column - use.size(), ' ');
        text += use + summary + "\n";
    }
    return text + "The port defaults to COM1 (/dev/ttyS0 on Linux unless mapped).\n";
}

std::string portName(const Arguments& arguments) {
    return arguments.device.empty() ? "COM" + std::to_string(arguments.comNumber)
                                    : arguments.device;
}

}  // namespace cli
