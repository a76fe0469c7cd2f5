#pragma once

#include <string>

#ifdef _WIN32
#include <QLockFile>
#endif

namespace platform {

// Holds "volcrestone.instance" in `folder` for as long as the object lives; a second program that
// finds the lock held knows another instance is running.
class SingleInstance {
public:
    explicit SingleInstance(const std::string& folder);
    ~SingleInstance();

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool anotherInstanceRunning() const { return !held_; }

private:
#ifdef _WIN32
    QLockFile lock_;
#else
    int fd_ = -1;
#endif
    bool held_ = false;
};

}  // namespace platform
