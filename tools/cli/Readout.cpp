#include "cli/Readout.h"

#include <ostream>
#include <string>

#include "cli/Runner.h"
#include "dash/DisplaySettings.h"

namespace cli {

Readout::Readout(Runner& runner, bool flushEachLine)
    : out_(runner.out()), flushEachLine_(flushEachLine) {
    const dash::DisplaySettings stored = dash::DisplaySettings::load(runner.host().settings());
    options_.edition = runner.arguments().edition;
    options_.threeBar = runner.arguments().threeBar;
    options_.celsius = stored.celsius;
    options_.wideBandAfr = !stored.o2Voltage;
}

void Readout::printHeader() {
    out_ << "RPM,MAP,Coolant,Ignition,MSD,TPS,Battery,O2" << std::endl;
}

void Readout::showReadoutTexts(const comlink::ReadoutTexts& t) {
    for (const std::string* text :
         {&t.rpm, &t.map, &t.coolant, &t.ignition, &t.ignMsd, &t.tps, &t.battery}) {
        pending_ += *text;
        pending_ += ',';
    }
    pending_ += t.o2afr;
    pending_ += '\n';
    // A log goes out in large writes; a live stream line by line, as it comes.
    if (flushEachLine_ || pending_.size() >= kWriteSize) {
        flush();
    }
    ++shown_;
}

void Readout::flush() {
    out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
    out_.flush();
    pending_.clear();
}

}  // namespace cli
