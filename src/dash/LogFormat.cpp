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

std::string logFileName(int year, int month, int day, int hour, int minute, int second) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d%02d%02d%02d%02d%02d.csv", year % 100, month, day, hour,
                  minute, second);
    return name;
}

}  // namespace dash
