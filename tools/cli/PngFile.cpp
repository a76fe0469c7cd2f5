#include "cli/PngFile.h"

#include <QBuffer>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <string_view>

#include "cli/Runner.h"
#include "tune/SettingsFile.h"

namespace cli {

bool writePng(Runner& runner, const plot::Canvas& canvas, const std::string& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    errno = 0;
    if (canvas.image().save(&buffer, "PNG") &&
        tune::saveSettingsFile(
            path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) ==
            tune::SaveOutcome::Saved) {
        return true;
    }
    runner.err() << "Could not write " << path;
    if (errno != 0) {
        runner.err() << ": " << std::strerror(errno);
    }
    runner.err() << std::endl;
    return false;
}

}  // namespace cli
