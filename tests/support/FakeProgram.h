#pragma once

#include "app/Application.h"
#include "platform/FakePlatform.h"

namespace support {

// Every platform service of the program as a fake, ready to hand to app::Application.
struct FakeServices {
    platform::FakeSerialPort port;
    platform::FakeSettingsStore store;
    platform::FakeClock clock;
    platform::FakeEventPump pump{&port};
    platform::FakeMessageBox messages;
    platform::FakeFileDialog files;
    platform::FakeColorDialog colors;

    app::Platform platform() { return {port, store, clock, pump, messages, files, colors}; }
};

}  // namespace support
