#include "tune/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "tune/Numeric.h"
#include "tune/SettingsText.h"
#include "tune/ValueReader.h"

namespace tune {

namespace {

// A settings file is about a kilobyte; one with our header but this big is broken, and reading
// it whole would only cost memory.
constexpr std::size_t kMaxFileBytes = 1 << 20;

// Puts the values of one read statement into the fields. A value that does not fit its field
// leaves that field as it was and marks the load as failed; the next values are still applied.
class Loader {
public:
    Loader(Tune& tune, std::string_view body) : tune_(tune), reader_(body) {}

    bool run(std::string_view version);

private:
    std::optional<std::vector<FileValue>> read(std::size_t count) {
        auto values = reader_.take(count);
        if (!values)
            ok_ = false;
        return values;
    }
    void check(bool applied) {
        if (!applied)
            ok_ = false;
    }

    void readTable(std::array<std::string, 6>& cells);
    void readOutputsOldLayout();
    void readOutputs();
    void readLimiter();

    bool setOption(Option o, const FileValue& v);
    bool selectChannel(int output, const FileValue& v);

    Tune& tune_;
    ValueReader reader_;
    bool ok_ = true;
};

bool isTrue(const FileValue& v) {
    if (v.kind == FileValue::Kind::Boolean)
        return v.flag;
    return v.kind == FileValue::Kind::Number && v.number != 0;
}

int checkState(const FileValue& v) {
    return isTrue(v) ? 1 : 0;
}

std::string textOf(const FileValue& v) {
    if (v.kind == FileValue::Kind::Boolean)
        return v.flag ? "True" : "False";
    return v.text;
}

// An empty text stands for "nothing selected", which is how such a list is written.
bool selectListText(ListField& list, const FileValue& v) {
    if (v.kind == FileValue::Kind::Text && v.text.empty())
        return list.select(-1);
    if (v.kind == FileValue::Kind::Boolean)
        return false;
    return list.selectText(v.text);
}

int versionNumber(std::string_view version) {
    if (version.size() < 3 || version.substr(0, 2) != " v")
        return 0;
    return static_cast<unsigned char>(version[2]);
}

bool Loader::setOption(Option o, const FileValue& v) {
    if (v.kind == FileValue::Kind::Text)
        return false;
    tune_.setOption(o, isTrue(v));
    return true;
}

bool Loader::selectChannel(int output, const FileValue& v) {
    if (!selectListText(tune_.outputs[static_cast<std::size_t>(output)].channel, v))
        return false;
    tune_.channelChanged(output);
    return true;
}

void Loader::readTable(std::array<std::string, 6>& cells) {
    if (auto v = read(6)) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i] = textOf((*v)[i]);
    }
}

void Loader::readOutputsOldLayout() {
    // Files of the first layout held only rpm thresholds; committing turns them into raw codes.
    if (auto v = read(2)) {
        for (int i = 0; i < 2; ++i) {
            check(tune_.outputs[static_cast<std::size_t>(i)].channel.selectText("RPM"));
            tune_.channelChanged(i);
            tune_.outputs[static_cast<std::size_t>(i)].text =
                textOf((*v)[static_cast<std::size_t>(i)]);
        }
        tune_.commitOutput(0);
        tune_.commitOutput(1);
    }
}

void Loader::readOutputs() {
    if (auto v = read(4)) {
        check(selectChannel(0, (*v)[0]));
        tune_.outputs[0].raw = textOf((*v)[1]);
        check(selectChannel(1, (*v)[2]));
        tune_.outputs[1].raw = textOf((*v)[3]);
        tune_.channelChanged(0);
        tune_.channelChanged(1);
    }
}

void Loader::readLimiter() {
    if (auto v = read(4)) {
        tune_.rpmLimit = textOf((*v)[0]);
        ListField& limit = tune_.limitType;
        limit.select(0);
        const std::string key = textOf((*v)[1]);
        for (std::size_t i = 0; i < limit.entries.size(); ++i) {
            if (limiterKey(limit.entries[i]) == key)
                limit.select(static_cast<int>(i));
        }
        check(setOption(Option::Drop, (*v)[2]));
        check(setOption(Option::Retard, (*v)[3]));
    }
}

bool Loader::run(std::string_view version) {
    if (auto v = read(5)) {
        // The stroke comes first so that the count is looked up in that stroke's list.
        check(setOption(Option::Stroke4, (*v)[0]));
        check(setOption(Option::Stroke2, (*v)[1]));
        check(selectListText(tune_.cylinders, (*v)[2]));
        tune_.staticTiming = textOf((*v)[3]);
        tune_.oddFire = checkState((*v)[4]);
    }
    readTable(tune_.baseTiming);
    readTable(tune_.rpm);
    readTable(tune_.mapAdj);
    readTable(tune_.map);
    if (auto v = read(3)) {
        check(setOption(Option::PortedTPS, (*v)[0]));
        check(setOption(Option::PortedRPM, (*v)[1]));
        check(setOption(Option::PortedNone, (*v)[2]));
    }
    if (auto v = read(4)) {
        tune_.portedStartTPS = textOf((*v)[0]);
        tune_.portedFullTPS = textOf((*v)[1]);
        tune_.portedStartRPM = textOf((*v)[2]);
        tune_.portedFullRPM = textOf((*v)[3]);
    }
    if (auto v = read(3)) {
        tune_.crankAdv = textOf((*v)[0]);
        tune_.crankRPM = textOf((*v)[1]);
        check(selectListText(tune_.crankDelay, (*v)[2]));
    }
    if (versionNumber(version) < '1') {
        readOutputsOldLayout();
    } else {
        readOutputs();
    }
    readLimiter();
    if (auto v = read(4)) {
        check(setOption(Option::Map115, (*v)[0]));
        check(setOption(Option::Map250, (*v)[1]));
        check(selectListText(tune_.xled, (*v)[2]));
        tune_.invertSpout = checkState((*v)[3]);
    }
    if (auto v = read(4)) {
        check(selectListText(tune_.knockIncr, (*v)[0]));
        check(setOption(Option::UnwindMsec, (*v)[1]));
        check(setOption(Option::UnwindSpark, (*v)[2]));
        tune_.unwindRate = textOf((*v)[3]);
    }
    return ok_;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Up to one byte more than a settings file may hold, so that a bigger file shows as such; false
// when the file cannot be opened or read.
bool readCapped(const std::filesystem::path& path, std::string& out) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    out.resize(kMaxFileBytes + 1);
    out.resize(std::fread(out.data(), 1, out.size(), file.get()));
    return !std::ferror(file.get());
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Whether the save's own open of `path` for writing would succeed. An existing file is opened
// without truncating it; a missing one is created and removed again.
bool canOpenForWriting(const std::filesystem::path& path) {
    // Non-blocking, so that a pipe without a reader is refused instead of waited on.
    int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        struct stat status {};
        const bool statted = ::fstat(fd, &status) == 0;
        ::close(fd);
        // A file marked read-only for everyone stays as it is, also for the administrator,
        // whose open succeeds regardless; anyone else would be told this.
        const bool readOnly = statted && S_ISREG(status.st_mode) && (status.st_mode & 0222) == 0;
        if (readOnly)
            errno = EACCES;
        return statted && !readOnly;
    }
    if (errno != ENOENT)
        return false;
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(path.c_str());
    return true;
}

// A short name beside the target that no other save of ours uses at the same time; short, so
// that any name the target itself may have leaves room for it.
std::filesystem::path temporaryBeside(const std::filesystem::path& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    return target.parent_path() / (".vc-save-" + std::to_string(::getpid()) + "-" +
                                   std::to_string(counter++) + "-" + std::to_string(attempt));
}

// Makes the rename itself survive a power cut; a folder that cannot be synced is no reason to
// call a completed save a failure.
void syncFolderOf(const std::filesystem::path& file) {
    std::filesystem::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string settingsFileText(const Tune& tune, std::string_view editionName) {
    return std::string(kHeaderWords) + " " + std::string(editionName) + " v1\r\n" +
           settingStr(tune) + "\r\n";
}

bool loadSettings(Tune& tune, std::string_view body, std::string_view version) {
    return Loader(tune, body).run(version);
}

LoadOutcome loadSettingsFile(Tune& tune, const std::filesystem::path& path) {
    std::string bytes;
    if (!readCapped(path, bytes))
        return LoadOutcome::CannotOpen;
    return loadSettingsContents(tune, bytes);
}

LoadOutcome loadSettingsContents(Tune& tune, std::string_view all) {
    const std::size_t lineEnd = std::min(all.find_first_of("\r\n"), all.size());
    const std::string_view header = all.substr(0, lineEnd);
    if (header.substr(0, kHeaderWords.size()) != kHeaderWords)
        return LoadOutcome::NotSettingsFile;
    if (all.size() > kMaxFileBytes)
        return LoadOutcome::Failed;

    std::size_t bodyStart = lineEnd;
    if (bodyStart < all.size() && all[bodyStart] == '\r')
        ++bodyStart;
    if (bodyStart < all.size() && all[bodyStart] == '\n')
        ++bodyStart;
    const std::string_view version = header.substr(header.size() - 3);
    return loadSettings(tune, all.substr(bodyStart), version) ? LoadOutcome::Loaded
                                                              : LoadOutcome::Failed;
}

SaveOutcome saveSettingsFile(const std::filesystem::path& path, std::string_view content) {
    if (!canOpenForWriting(path))
        return SaveOutcome::CannotOpen;
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
        temp = temporaryBeside(path, attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return SaveOutcome::Failed;
    }
    if (fd < 0)
        return SaveOutcome::Failed;

    bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return SaveOutcome::Failed;
    }
    syncFolderOf(path);
    return SaveOutcome::Saved;
}

std::string loadOutcomeText(LoadOutcome outcome, int channel) {
    switch (outcome) {
        case LoadOutcome::Loaded:
            return "Settings Loaded!";
        case LoadOutcome::CannotOpen:
            break;
        case LoadOutcome::NotSettingsFile:
            return "Not a Volcrestone Settings file!";
        case LoadOutcome::Failed:
            return "Error trying to Load Settings!";
    }
    return "Could not open file " + num::integerText(channel);
}

std::string saveOutcomeText(SaveOutcome outcome, int channel) {
    switch (outcome) {
        case SaveOutcome::Saved:
            return "Settings Saved!";
        case SaveOutcome::CannotOpen:
            break;
        case SaveOutcome::Failed:
            return "Error trying to Save Settings!";
    }
    return "Could not open file " + num::integerText(channel);
}

}  // namespace tune
