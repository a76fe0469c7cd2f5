#include "cli/PosixSystem.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace cli {

namespace fs = std::filesystem;

namespace {

// Pseudo-terminal slaves have the majors 136 to 143; /dev/ptmx (the master side) is 5, 2.
constexpr unsigned kPtySlaveFirst = 136;
constexpr unsigned kPtySlaveLast = 143;

std::optional<struct stat> statOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return st;
}

int ptyIndex(const struct stat& st) {
    const unsigned major = ::major(st.st_rdev);
    if (!S_ISCHR(st.st_mode) || major < kPtySlaveFirst || major > kPtySlaveLast) {
        return -1;
    }
    return static_cast<int>((major - kPtySlaveFirst) * 256 + ::minor(st.st_rdev));
}

bool isPtyMaster(const struct stat& st) {
    return S_ISCHR(st.st_mode) && ::major(st.st_rdev) == 5 && ::minor(st.st_rdev) == 2;
}

std::string firstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::vector<int> processIds() {
    std::vector<int> pids;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() &&
            std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            pids.push_back(std::atoi(name.c_str()));
        }
    }
    return pids;
}

std::string programOf(int pid) {
    return firstLine("/proc/" + std::to_string(pid) + "/comm");
}

// The "tty-index" the kernel shows for an open /dev/ptmx: the number of its slave.
int masterIndex(int pid, const std::string& fd) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/fdinfo/" + fd);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("tty-index:", 0) == 0) {
            return std::atoi(line.c_str() + 10);
        }
    }
    return -1;
}

// The names lock files use for a device: Qt's (the path without "/dev/", slashes made
// underscores) and the classic one (the file name alone).
std::set<std::string> lockNames(const std::vector<std::string>& paths) {
    std::set<std::string> names;
    for (std::string path : paths) {
        names.insert("LCK.." + fs::path(path).filename().string());
        if (path.rfind("/dev/", 0) == 0) {
            path.erase(0, 5);
        }
        std::replace(path.begin(), path.end(), '/', '_');
        names.insert("LCK.." + path);
    }
    return names;
}

// "ttyUSB", 10 for /dev/ttyUSB10: the order a user counts adapters in, USB before ACM.
std::pair<int, long> adapterOrder(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    const std::size_t digits = name.find_first_of("0123456789");
    const std::string kind = name.substr(0, digits);
    const int rank = kind == "ttyUSB" ? 0 : kind == "ttyACM" ? 1 : 2;
    return {rank, digits == std::string::npos ? -1 : std::atol(name.c_str() + digits)};
}

int lockOwner(const fs::path& lockFile) {
    const std::string line = firstLine(lockFile);
    return std::atoi(line.c_str());  // leading blanks skipped, as the classic files pad them
}

}  // namespace

PosixSystem::PosixSystem(const platform::SettingsStore* settings, std::string settingsFile)
    : settings_(settings), settingsFile_(std::move(settingsFile)) {}

platform::ComMapping PosixSystem::comMapping(int number) const {
    return platform::comMapping(number, settings_);
}

std::optional<DeviceFile> PosixSystem::device(const std::string& path) const {
    const std::optional<struct stat> st = statOf(path);
    if (!st) {
        return std::nullopt;
    }
    DeviceFile file;
    std::error_code ec;
    file.resolved = fs::canonical(path, ec).string();
    if (ec) {
        file.resolved = path;
    }
    file.characterDevice = S_ISCHR(st->st_mode);
    file.pseudoTerminal = ptyIndex(*st) >= 0;
    const group* owner = ::getgrgid(st->st_gid);
    file.group = owner != nullptr ? owner->gr_name : std::to_string(st->st_gid);
    file.permissions = st->st_mode & 0777u;
    return file;
}

DeviceAccess PosixSystem::access(const std::string& path) const {
    DeviceAccess access;
    access.readWrite = ::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
    const passwd* user = ::getpwuid(::geteuid());
    access.user = user != nullptr ? user->pw_name : std::to_string(::geteuid());
    const std::optional<struct stat> st = statOf(path);
    if (!st) {
        return access;
    }
    const gid_t gid = st->st_gid;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(
        std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    access.sessionInGroup =
        ::getegid() == gid || std::find(groups.begin(), groups.end(), gid) != groups.end();
    access.listedInGroup = user != nullptr && user->pw_gid == gid;
    if (const group* owner = ::getgrgid(gid); owner != nullptr && user != nullptr) {
        for (char** member = owner->gr_mem; *member != nullptr; ++member) {
            access.listedInGroup = access.listedInGroup || access.user == *member;
        }
    }
    return access;
}

std::vector<Holder> PosixSystem::holders(const std::string& path) const {
    const std::optional<struct stat> device = statOf(path);
    if (!device) {
        return {};
    }
    const int pty = ptyIndex(*device);
    const int self = static_cast<int>(::getpid());
    std::map<int, Holder> byPid;

    for (const int pid : processIds()) {
        if (pid == self) {
            continue;
        }
        std::error_code ec;
        const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
        for (const fs::directory_entry& fd : fs::directory_iterator(fds, ec)) {
            const std::optional<struct stat> st = statOf(fd.path().string());
            if (!st || !S_ISCHR(st->st_mode)) {
                continue;
            }
            const bool same = st->st_rdev == device->st_rdev;
            const bool farEnd = pty >= 0 && isPtyMaster(*st) &&
                                masterIndex(pid, fd.path().filename().string()) == pty;
            if (same || farEnd) {
                Holder& holder = byPid[pid];
                holder.pid = pid;
                holder.program = programOf(pid);
                holder.otherEnd = holder.otherEnd || farEnd;
            }
        }
    }

    std::error_code ec;
    const std::vector<std::string> paths = {path, fs::canonical(path, ec).string()};
    std::set<fs::path> folders;
    for (const char* folder : {"/var/lock", "/run/lock"}) {
        const fs::path real = fs::canonical(folder, ec);
        if (!ec) {
            folders.insert(real);
        }
    }
    for (const fs::path& folder : folders) {
        for (const std::string& name : lockNames(paths)) {
            const fs::path lockFile = folder / name;
            const int pid = fs::exists(lockFile, ec) ? lockOwner(lockFile) : 0;
            if (pid <= 0 || pid == self) {
                continue;
            }
            Holder& holder = byPid[pid];
            holder.pid = pid;
            holder.lockFile = lockFile.string();
            holder.program = programOf(pid);  // empty when the process is gone
        }
    }

    std::vector<Holder> result;
    for (auto& [pid, holder] : byPid) {
        result.push_back(std::move(holder));
    }
    return result;
}

bool PosixSystem::seesEveryProcess() const {
    for (const int pid : processIds()) {
        std::error_code ec;
        fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec);
        if (ec == std::errc::permission_denied) {
            return false;
        }
    }
    return true;
}

std::vector<SerialDevice> PosixSystem::serialDevices() const {
    std::map<std::string, std::string> byPath;  // device -> its by-id link
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) {
            byPath[entry.path().string()];
        }
    }
    for (const fs::directory_entry& link : fs::directory_iterator("/dev/serial/by-id", ec)) {
        std::error_code broken;
        const fs::path target = fs::canonical(link.path(), broken);
        if (!broken) {
            byPath[target.string()] = link.path().string();
        }
    }
    std::vector<SerialDevice> devices;
    for (const auto& [path, byId] : byPath) {
        devices.push_back({path, byId});
    }
    std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        return adapterOrder(a.path) < adapterOrder(b.path);
    });
    return devices;
}

bool PosixSystem::running(const std::string& program) const {
    const std::vector<int> pids = processIds();
    return std::any_of(pids.begin(), pids.end(),
                       [&](int pid) { return programOf(pid) == program; });
}

}  // namespace cli
