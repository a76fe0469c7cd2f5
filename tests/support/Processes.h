#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Child processes and scratch files for the end-to-end tests.
namespace support {

constexpr int kPatienceMs = 30000;  // generous for a loaded machine; a healthy run takes ms

using Environment = std::vector<std::pair<std::string, std::string>>;

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A private folder for one test's files, removed with everything in it at the end.
struct ScratchFolder : QTemporaryDir {
    std::string path(const std::string& name) const {
        return filePath(QString::fromStdString(name)).toStdString();
    }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }
};

// A firmware file: `lines` records of 43 bytes each as sent with their CR, and the end record.
inline std::string fillerFirmware(int lines) {
    std::string s19;
    for (int line = 0; line < lines; ++line)
        s19 += "S1130000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFC\r\n";
    return s19 + "S9030000FC\r\n";
}

// Starts `program` in this process's environment plus the given variables.
inline void start(QProcess& process, const std::string& program,
                  const std::vector<std::string>& arguments, const Environment& environment = {}) {
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert("ASAN_OPTIONS", "detect_leaks=0");
    for (const auto& [name, value] : environment)
        variables.insert(QString::fromStdString(name), QString::fromStdString(value));
    process.setProcessEnvironment(variables);
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    process.start(QString::fromStdString(program), list);
}

// Waits for the end of `process`, killing it when none comes; -1 after a crash or a kill.
inline int finish(QProcess& process) {
    if (!process.waitForFinished(kPatienceMs)) {
        process.kill();
        process.waitForFinished();
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

struct Finished {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline Finished runToEnd(const std::string& program, const std::vector<std::string>& arguments,
                         const Environment& environment = {}) {
    QProcess process;
    start(process, program, arguments, environment);
    // A braced list is evaluated in order: the output is read after the end.
    return {finish(process), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// volcrestone-sim, its pseudo-terminal ready once the constructor returns. stop() ends it with
// SIGTERM and gives its exit code; its --record file then holds every byte a client wrote.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& arguments = {}) {
        start(process_, VOLCRESTONE_SIM_PATH, arguments);
        while (!process_.canReadLine() && process_.waitForReadyRead(kPatienceMs)) {
        }
        devicePath_ = process_.readLine().trimmed().toStdString();
        if (devicePath_.empty())  // it refused its arguments (or hangs: the QProcess kills it)
            throw std::runtime_error("volcrestone-sim printed no device path");
    }
    ~SimProcess() { stop(); }

    const std::string& devicePath() const { return devicePath_; }
    int stop() {
        process_.terminate();
        return finish(process_);
    }

private:
    QProcess process_;
    std::string devicePath_;
};

}  // namespace support
