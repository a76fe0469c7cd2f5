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
    std::vector<std::vector<int>> blocks;
    std::vector<std::vector<int>> images;
    bool aboutVisible = false;

    std::function<void()> onBytesArrived = [] {};
    std::function<void(int mode)> onBootloaderTick = [](int) {};

    void noResponse(int mode) override { noResponses.push_back(mode); }
    void bytesArrived() override {
        ++arrivals;
        onBytesArrived();
    }
    bool aboutShowing() const override { return aboutVisible; }
    void realtimeBlock(const comlink::RxBuffer& rx) override {
        blocks.emplace_back(rx.begin(), rx.begin() + 30);
    }
    void imageReceived(const comlink::RxBuffer& rx) override {
        images.emplace_back(rx.begin(), rx.begin() + 63);
    }
    void bootloaderTick(int mode) override { onBootloaderTick(mode); }
};

}  // namespace support
