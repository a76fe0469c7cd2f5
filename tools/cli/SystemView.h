#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ComDevice.h"

namespace cli {

// A device file as the doctor sees it.
struct DeviceFile {
    std::string resolved;  // the path with every link followed
    bool characterDevice = false;
    bool pseudoTerminal = false;  // a program, not a wire, is at the other end
    std::string group;            // the owning group's name
    unsigned permissions = 0;     // 0660 and the like
};

// Whether this user may use the device, and why not.
struct DeviceAccess {
    bool readWrite = false;  // opening it for reading and writing is allowed
    std::string user;
    bool sessionInGroup = false;  // the owning group is one of this process's groups
    bool listedInGroup = false;   // the group database lists the user in it (maybe since login)
};

// A process that has the device open or that a lock file names.
struct Holder {
    int pid = 0;
    std::string program;    // empty when the process is gone (a stale lock file)
    std::string lockFile;   // the lock file that names it; empty for an open handle
    bool otherEnd = false;  // holds the master side of the pseudo-terminal: the far end
};

// A serial adapter's device (/dev/ttyUSB0, /dev/ttyACM0) and the stable name under
// /dev/serial/by-id that points at it, when there is one.
struct SerialDevice {
    std::string path;
    std::string byId;
};

// What the doctor looks at besides the port: the COM mapping, the device file, its holders and
// the running programs. The tool reads the real system; tests hand in a fake one.
class SystemView {
public:
    virtual ~SystemView() = default;

    virtual platform::ComMapping comMapping(int number) const = 0;
    // Where a COM number may be set ("[Config]" in this file).
    virtual std::string settingsFile() const = 0;
    // Nothing when there is no such file.
    virtual std::optional<DeviceFile> device(const std::string& path) const = 0;
    virtual DeviceAccess access(const std::string& path) const = 0;
    // Every other process that holds the device, this one excluded.
    virtual std::vector<Holder> holders(const std::string& path) const = 0;
    // False when some processes' open files are hidden from us (other users' without root), so
    // that holders() may have missed one.
    virtual bool seesEveryProcess() const = 0;
    // The adapters' serial devices that exist, USB ones first, in order of number.
    virtual std::vector<SerialDevice> serialDevices() const = 0;
    virtual bool running(const std::string& program) const = 0;
};

}  // namespace cli
