#pragma once

#include <array>
#include <string>
#include <string_view>

#include "comlink/Engine.h"
#include "platform/Clock.h"

// The data log's text form: one line per realtime block, 30 decimal values.
namespace dash {

// " v0 , v1 , ... , v29 " (each value with one blank either side, no line end).
std::string logLine(const comlink::RxBuffer& block);

// The log file's name for a start time: "yymmddhhnnss.csv" of the local time.
std::string logFileName(const platform::LocalTime& start);

// What the user reads when a log cannot be created, or stops because a line could not be
// written; `reason` is the system's.
std::string logNotCreatedText(const std::string& path, const std::string& reason);
std::string logStoppedText(const std::string& path, const std::string& reason);

}  // namespace dash
