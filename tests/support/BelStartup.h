#pragma once

#include <string>

namespace support {

// The settings text of the Tune that Edition BEL shows right after start-up, written out by hand.
inline const std::string kBelStartupText =
    "#TRUE#,#FALSE#,\"4\",\"45.0\",#FALSE#\r\n"
    "\"8\",\"18\",\"24\",\"32\",\"32\",\"30\"\r\n"
    "\"1000\",\"2500\",\"3500\",\"4500\",\"5500\",\"6500\"\r\n"
    "\"+6\",\"+4\",\"+2\",\"0\",\"-2\",\"-5\"\r\n"
    "\"40\",\"60\",\"80\",\"100\",\"140\",\"160\"\r\n"
    "#FALSE#,#FALSE#,#TRUE#\r\n"
    "\"1.0\",\"1.5\",\"1500\",\"2000\"\r\n"
    "\"6\",\"300\",\"3\"\r\n"
    "\"RPM\",\"0\",\"RPM\",\"0\"\r\n"
    "\"1200\",\"** \",#TRUE#,#FALSE#\r\n"
    "#FALSE#,#TRUE#,\"Reset\",#FALSE#\r\n"
    "\"0.0\",#TRUE#,#FALSE#,\"25\"";

inline const std::string kBelStartupFile =
    "Volcrestone Settings BEL v1\r\n" + kBelStartupText + "\r\n";

}  // namespace support
