#include "app/LinkRouter.h"

#include <utility>

#include "app/LiveData.h"
#include "comlink/ui/NoCommWindow.h"
#include "comlink/ui/SerialWindow.h"
#include "dash/ui/Realtime.h"
#include "dialogs/ui/AboutBox.h"

namespace app {

LinkRouter::LinkRouter(comlink::SerialWindow& serial, comlink::NoCommWindow& noComm,
                       dialogs::AboutBox& about, setup::Session& session, LiveData& live,
                       plot::PlotOpener& plot, comlink::Bootloader& firmware,
                       std::function<void()> showFirmwareWindow)
    : serial_(serial),
      noComm_(noComm),
      about_(about),
      session_(session),
      live_(live),
      plot_(plot),
      firmware_(firmware),
      showFirmwareWindow_(std::move(showFirmwareWindow)) {}

void LinkRouter::modeChanged(int mode) {
    serial_.showMode(mode);
}

void LinkRouter::noResponse(int) {
    noComm_.showAndRaise();
}

void LinkRouter::bytesArrived() {
    noComm_.hide();
}

void LinkRouter::revisionReceived(int revision) {
    about_.SetRevNum(revision);
}

bool LinkRouter::aboutShowing() const {
    return about_.isVisible();
}

void LinkRouter::realtimeBlock(const comlink::RxBuffer& rx) {
    tickBlocks_.push_back(rx);
}

void LinkRouter::tickEnded() {
    // At the line's limit three blocks come in a tick; the screen needs only the last.
    if (!tickBlocks_.empty()) {
        live_.realtime().copyATdata(tickBlocks_);
        tickBlocks_.clear();
    }
}

void LinkRouter::imageReceived(const comlink::RxBuffer& rx) {
    session_.imageReceived(rx);
}

void LinkRouter::bootloaderTick(int mode) {
    firmware_.step(mode);
}

void LinkRouter::hideNoResponse() {
    noComm_.hide();
}

void LinkRouter::showAbout() {
    about_.Display();
}

bool LinkRouter::dashboardVisible() const {
    return live_.dashboardVisible();
}

void LinkRouter::unloadDashboard() {
    live_.unloadDashboard();
}

void LinkRouter::setRpmUpperLimit(double rpm) {
    live_.dashboard().setRpmUpperLimit(rpm);
}

void LinkRouter::startRealtime() {
    live_.mode().StartRealtime();
}

void LinkRouter::showDashboard() {
    live_.showDashboard();
}

void LinkRouter::showPlot() {
    plot_.open();
}

bool LinkRouter::dataLogOpen() const {
    return live_.dataLogOpen();
}

void LinkRouter::showFirmwareUpdate() {
    showFirmwareWindow_();
}

bool LinkRouter::replayVisible() const {
    return live_.replayVisible();
}

void LinkRouter::showLogReplay() {
    live_.showLogReplay();
}

}  // namespace app
