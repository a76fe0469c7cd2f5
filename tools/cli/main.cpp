#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/QtHost.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);

    const cli::ParseResult parsed = cli::parseArguments(args);
    if (parsed.helpRequested) {
        std::cout << cli::usageText();
        return 0;
    }
    if (!parsed.arguments) {
        std::cerr << "volcrestone-cli: " << parsed.error << '\n' << cli::usageText();
        return 2;
    }
    cli::QtHost host(*parsed.arguments);
    return cli::runCommand(*parsed.arguments, host, std::cout, std::cerr);
}
