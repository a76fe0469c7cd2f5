#pragma once

#include <QLockFile>
#include <string>

namespace platform {

// Holds "volcrestone.lock" in `folder` for as long as the object lives; a second program that
// finds the lock held knows another instance is running.
class SingleInstance {
public:
    explicit SingleInstance(const std::string& folder);

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool anotherInstanceRunning() const { return !held_; }

private:
    QLockFile lock_;
    bool held_ = false;
};

}  // namespace platform
