#include "cli/Arguments.h"

#include <algorithm>
#include <cctype>

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

}  // namespace

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
        } else if (option.size() > 1 && option[0] == '-') {
            return refused("unknown option " + args[i]);
        } else {
            words.push_back(args[i]);
        }
    }

    if (words.empty())
        return refused("no command given");
    const std::string& command = words[0];
    if (command == "revision" && words.size() == 1) {
        arguments.command = Command::Revision;
    } else if ((command == "upload" || command == "send") && words.size() == 2) {
        arguments.command = command == "upload" ? Command::Upload : Command::Send;
        arguments.file = words[1];
    } else if (command == "revision" || command == "upload" || command == "send") {
        return refused("wrong number of arguments for " + command);
    } else {
        return refused("unknown command " + command);
    }

    ParseResult result;
    result.arguments = std::move(arguments);
    return result;
}

std::string usageText() {
    return "usage: volcrestone-cli [--port DEVICE|COM1..COM4] [--edition RUK|BEL|ZAV|QOLT] "
           "[--no-3bar] COMMAND\n"
           "commands:\n"
           "  revision          print the controller's firmware revision\n"
           "  upload FILE.cfg   read the Tune from the controller into a settings file\n"
           "  send FILE.cfg     check a settings file, send it and make the controller store it\n"
           "The port defaults to COM1.\n";
}

std::string portName(const Arguments& arguments) {
    return arguments.device.empty() ? "COM" + std::to_string(arguments.comNumber)
                                    : arguments.device;
}

}  // namespace cli
