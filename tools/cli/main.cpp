#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/QtHost.h"

namespace {

QtMessageHandler qtHandler = nullptr;

// The tool keeps nothing in a runtime folder, so Qt's warnings about a missing or odd one
// ("QStandardPaths: XDG_RUNTIME_DIR not set, ...") would only be noise on standard error.
void quietAboutRuntimeFolder(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (!message.startsWith(QLatin1String("QStandardPaths: ")) && qtHandler != nullptr) {
        qtHandler(type, context, message);
    }
}

// Commands that render text need fonts, so a GUI application, but never a display: without a
// platform named in QT_QPA_PLATFORM they draw offscreen. The others keep a plain core one.
std::unique_ptr<QCoreApplication> applicationFor(const cli::CommandEntry& command, int& argc,
                                                 char** argv) {
    if (!command.draws) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
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
    qtHandler = qInstallMessageHandler(quietAboutRuntimeFolder);
    const auto application =
        applicationFor(*cli::findCommand(parsed.arguments->command), argc, argv);
    cli::QtHost host(*parsed.arguments);
    return cli::runCommand(*parsed.arguments, host, std::cout, std::cerr);
}
