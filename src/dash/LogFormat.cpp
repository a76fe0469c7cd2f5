#include "dash/LogFormat.h"

#include <cstdio>

#include "tune/Numeric.h"

namespace dash {

std::string logLine(const comlink::RxBuffer& block) {
    std::string line;
    line.reserve(4 * comlink::kRealtimeBlockSize * 2);
    for (int i = 0; i < comlink::kRealtimeBlockSize; ++i) {
        if (i > 0) {
            line += ',';
        }
        line += ' ';
        line += num::integerText(block[static_cast<std::size_t>(i)]);
        line += ' ';
    }
    return line;
}

std::string logFileName(const platform::LocalTime& start) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d%02d%02d%02d%02d%02d.csv", start.year % 100, start.month,
                  start.day, start.hour, start.minute, start.second);
    return name;
}

std::string logNotCreatedText(const std::string& path, const std::string& reason) {
    return "Could not create the log " + path + ": " + reason;
}

std::string logStoppedText(const std::string& path, const std::string& reason) {
    return "Logging stopped: could not write " + path + ": " + reason;
}

}  // namespace dash
