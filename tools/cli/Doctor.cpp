#include "cli/Doctor.h"

#include <algorithm>
#include <ostream>
#include <vector>

namespace cli {

namespace {

constexpr const char* kListDevices = "ls /dev/ttyUSB* /dev/ttyACM* /dev/ttyS*";
constexpr const char* kModemManager = "ModemManager";
constexpr const char* kBrltty = "brltty";

// "rw-rw----", as ls shows the permissions.
std::string permissionText(unsigned permissions) {
    std::string text = "rwxrwxrwx";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((permissions & (0400u >> i)) == 0) {
            text[i] = '-';
        }
    }
    return text;
}

std::string who(const Holder& holder) {
    return holder.program + " (pid " + std::to_string(holder.pid) + ")";
}

// Every holder the way the user can find it again: program and pid, and the lock file if any.
std::string listed(const std::vector<Holder>& holders) {
    std::string text;
    for (const Holder& holder : holders) {
        text += text.empty() ? "" : ", ";
        text += holder.program + " (pid " + std::to_string(holder.pid);
        text += holder.lockFile.empty() ? ")" : ", lock file " + holder.lockFile + ")";
    }
    return text;
}

std::string reportMapping(const Arguments& arguments, const SystemView& system, std::ostream& out) {
    if (!arguments.device.empty()) {
        report(out, Verdict::Ok, "port: " + arguments.device + ", given with --port");
        return arguments.device;
    }
    const std::string com = "COM" + std::to_string(arguments.comNumber);
    const platform::ComMapping mapping = system.comMapping(arguments.comNumber);
    const std::string is = "port: " + com + " is " + mapping.device;
    switch (mapping.source) {
        case platform::ComSource::Environment:
            report(out, Verdict::Ok, is + ", from the environment variable VOLCRESTONE_" + com);
            break;
        case platform::ComSource::Settings:
            report(out, Verdict::Ok,
                   is + ", from " + com + " under [Config] in " + system.settingsFile());
            break;
        case platform::ComSource::System:
            report(out, Verdict::Ok,
                   is + " by default (VOLCRESTONE_" + com + "=DEVICE in the environment or " + com +
                       "=DEVICE under [Config] in " + system.settingsFile() + " chooses another)");
            break;
    }
    return mapping.device;
}

bool reportAccess(const std::string& path, const DeviceFile& file, const SystemView& system,
                  std::ostream& out) {
    const DeviceAccess access = system.access(path);
    const std::string you = "you (" + access.user + ")";
    if (access.readWrite) {
        report(out, Verdict::Ok, you + " may read and write " + path);
        return true;
    }
    const std::string finding = you + " may not read and write " + path + ": it belongs to group " +
                                file.group + " (" + permissionText(file.permissions) + ")";
    if ((file.permissions & 060u) != 060u) {
        report(out, Verdict::Failed, finding + " and that group may not read and write it",
               "sudo chmod g+rw " + file.resolved);
    } else if (access.sessionInGroup) {
        report(out, Verdict::Failed, finding + " although you are in that group",
               "look at its access list: getfacl " + file.resolved);
    } else if (access.listedInGroup) {
        report(out, Verdict::Failed, finding + " and this login is not in that group yet",
               "log out and back in (or start a shell in the group: newgrp " + file.group + ")");
    } else {
        report(out, Verdict::Failed, finding + " and you are not in that group",
               "sudo usermod -aG " + file.group + " " + access.user + ", then log out and back in");
    }
    return false;
}

// The adapters that are plugged in, and a COM number that fell back to a built-in port while
// one is there (the usual reason a fresh install talks to nothing).
void reportAdapters(const Arguments& arguments, const std::string& path, const SystemView& system,
                    std::ostream& out) {
    const std::vector<SerialDevice> adapters = system.serialDevices();
    if (adapters.empty()) {
        report(out, Verdict::Ok,
               "serial adapters: none plugged in (no /dev/ttyUSB*, /dev/ttyACM* or "
               "/dev/serial/by-id/*)");
        return;
    }
    std::string list;
    for (const SerialDevice& adapter : adapters) {
        list += list.empty() ? "" : ", ";
        list += adapter.byId.empty() ? adapter.path : adapter.byId + " -> " + adapter.path;
    }
    report(out, Verdict::Ok, "serial adapters: " + list);
    if (!arguments.device.empty() ||
        system.comMapping(arguments.comNumber).source != platform::ComSource::System) {
        return;
    }
    const std::string com = "COM" + std::to_string(arguments.comNumber);
    const std::string adapter = adapters.front().path;
    report(out, Verdict::Warning,
           com + " is " + path + ", but a USB serial adapter is at " + adapter,
           "VOLCRESTONE_" + com + "=" + adapter + ", or " + com + "=" + adapter +
               " under [Config] in " + system.settingsFile());
}

void reportHolders(const std::string& path, const std::vector<Holder>& holders, bool seesAll,
                   std::ostream& out) {
    std::vector<Holder> live;
    std::vector<Holder> stale;
    for (const Holder& holder : holders) {
        if (!holder.otherEnd) {
            (holder.program.empty() ? stale : live).push_back(holder);
        }
    }
    if (!live.empty()) {
        report(out, Verdict::Failed,
               listed(live) + (live.size() == 1 ? " holds " : " hold ") + path,
               live.size() == 1 ? "close it first" : "close them first");
    } else if (!stale.empty()) {
        const Holder& lock = stale.front();
        report(out, Verdict::Warning,
               "stale lock file " + lock.lockFile + " (its process " + std::to_string(lock.pid) +
                   " is gone)",
               "sudo rm " + lock.lockFile);
    } else if (!seesAll) {
        report(out, Verdict::Warning,
               "could not see other users' programs; run as root to check them");
    } else {
        report(out, Verdict::Ok, "no other program holds " + path);
    }
}

void reportModemManager(const std::string& path, const std::vector<Holder>& holders,
                        const SystemView& system, std::ostream& out) {
    const bool probing = std::any_of(holders.begin(), holders.end(),
                                     [](const Holder& h) { return h.program == kModemManager; });
    if (probing) {
        report(out, Verdict::Failed, "ModemManager is probing " + path,
               "sudo systemctl stop ModemManager");
    } else if (system.running(kModemManager)) {
        report(out, Verdict::Warning,
               "ModemManager is running and may probe " + path + " with modem commands",
               "sudo systemctl stop ModemManager, or keep it off the adapter with a udev rule "
               "that sets ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
    } else {
        report(out, Verdict::Ok, "ModemManager is not running");
    }
}

}  // namespace

void report(std::ostream& out, Verdict verdict, const std::string& finding,
            const std::string& fix) {
    switch (verdict) {
        case Verdict::Ok:
            out << "ok   " << finding << '\n';
            return;
        case Verdict::Warning:
            out << "warn ";
            break;
        case Verdict::Failed:
            out << "FAIL ";
            break;
    }
    out << finding << (fix.empty() ? "" : ". Fix: " + fix) << '\n';
}

std::optional<std::string> checkBeforeOpening(const Arguments& arguments, const SystemView& system,
                                              std::ostream& out) {
    const std::string path = reportMapping(arguments, system, out);
    reportAdapters(arguments, path, system, out);
    if (system.running(kBrltty)) {
        report(out, Verdict::Failed, "brltty is running and may take USB serial adapters",
               "sudo systemctl mask brltty-udev.service brltty.service, then replug");
    }

    const std::optional<DeviceFile> file = system.device(path);
    if (!file) {
        report(out, Verdict::Failed, path + " does not exist",
               std::string("plug the adapter in; ") + kListDevices +
                   " lists the serial devices there are");
        return std::nullopt;
    }
    if (!file->characterDevice) {
        report(out, Verdict::Failed, path + " is not a character device",
               std::string("name the serial device itself (") + kListDevices + ")");
        return std::nullopt;
    }
    const std::vector<Holder> holders = system.holders(path);
    std::string finding = path + " is a character device";
    if (file->resolved != path) {
        finding += " (" + file->resolved + ")";
    }
    if (file->pseudoTerminal) {
        finding += ", a pseudo-terminal";
        const auto far = std::find_if(holders.begin(), holders.end(),
                                      [](const Holder& h) { return h.otherEnd; });
        if (far != holders.end()) {
            finding += " whose other end is " + who(*far);
        }
    }
    report(out, Verdict::Ok, finding);

    if (!reportAccess(path, *file, system, out)) {
        return std::nullopt;
    }
    reportHolders(path, holders, system.seesEveryProcess(), out);
    reportModemManager(path, holders, system, out);
    return path;
}

}  // namespace cli
