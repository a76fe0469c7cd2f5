#pragma once

#include <array>
#include <string>
#include <string_view>

#include "comlink/Engine.h"

// The data log's text form: one line per realtime block, 30 decimal values.
namespace dash {

// " v0 , v1 , ... , v29 " (each value with one blank either side, no line end).
std::string logLine(const comlink::RxBuffer& block);

// The log file's name for a start time: "yymmddhhnnss.csv" of the local time.
std::string logFileName(int year, int month, int day, int hour, int minute, int second);

}  // namespace dash
