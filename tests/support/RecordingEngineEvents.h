#pragma once

#include <functional>
#include <vector>

#include "comlink/Engine.h"

namespace support {

// Records what the protocol engine reports, in order (realtime blocks with 30 bytes, images with
// 63); `aboutVisible` answers aboutShowing(); the on... hooks act from inside a tick.
class RecordingEngineEvents : public comlink::EngineEvents {
public:
    std::vector<int> noResponses;  // the pending Mode of each time-out shown
    int arrivals = 0;              // bytesArrived
    std::vector<int> revisions;
    std::vector<std::vector<int>> blocks;
    std::vector<std::vector<int>> images;
    std::vector<int> bootloaderTicks;
    bool aboutVisible = false;

    std::function<void()> onBytesArrived = [] {};
    std::function<void()> onBlock = [] {};
    std::function<void(int mode)> onBootloaderTick = [](int) {};

    void noResponse(int mode) override { noResponses.push_back(mode); }
    void bytesArrived() override {
        ++arrivals;
        onBytesArrived();
    }
    void revisionReceived(int revision) override { revisions.push_back(revision); }
    bool aboutShowing() const override { return aboutVisible; }
    void realtimeBlock(const comlink::RxBuffer& rx) override {
        blocks.emplace_back(rx.begin(), rx.begin() + 30);
        onBlock();
    }
    void imageReceived(const comlink::RxBuffer& rx) override {
        images.emplace_back(rx.begin(), rx.begin() + 63);
    }
    void bootloaderTick(int mode) override {
        bootloaderTicks.push_back(mode);
        onBootloaderTick(mode);
    }
};

}  // namespace support
