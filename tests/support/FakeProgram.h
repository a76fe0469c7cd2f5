#pragma once

#include "app/Application.h"
#include "support/FakePlatform.h"

namespace support {

// Every platform service of the program as a fake, ready to hand to app::Application.
struct FakeServices {
    FakeSerialPort port;
    FakeSettingsStore store;
    FakeClock clock;
    FakeEventPump pump{&port};
    FakeMessageBox messages;
    FakeFileDialog files;
    FakeColorDialog colors;

    app::Platform platform() { return {port, store, clock, pump, messages, files, colors}; }
};

}  // namespace support
