#include "comlink/OpenPort.h"

#include <string>

namespace comlink {

bool openPort(platform::SerialPort& port, platform::SettingsStore& settings, int number) {
    if (port.isOpen()) {
        port.close();
    }
    settings.write("Config", "Port", std::to_string(number));
    return port.open(number);
}

}  // namespace comlink
