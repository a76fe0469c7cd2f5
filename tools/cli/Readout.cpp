#include "cli/Readout.h"

#include <ostream>

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
    out_ << t.rpm << ',' << t.map << ',' << t.coolant << ',' << t.ignition << ',' << t.ignMsd << ','
         << t.tps << ',' << t.battery << ',' << t.o2afr << '\n';
    if (flushEachLine_) {
        out_.flush();
    }
    ++shown_;
}

}  // namespace cli
