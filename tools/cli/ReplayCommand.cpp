// replay FILE.csv: a data log's records as the Dashboard's value labels show them, one line per
// record, read as the log replay window reads them. Streams: a log of any size costs the same
// memory. Needs no port.
#include <algorithm>
#include <ostream>

#include "cli/Commands.h"
#include "cli/Readout.h"
#include "cli/Runner.h"
#include "comlink/DataFileSlot.h"
#include "comlink/Realtime.h"
#include "dash/LogReplay.h"

namespace cli {

int runReplay(Runner& runner) {
    const std::string& path = runner.arguments().operands.at(0);
    comlink::DataFileSlot log;
    if (!runner.openLog(log, path))
        return kFailed;
    Readout readout(runner, false);
    comlink::Realtime realtime;
    realtime.setDisplay(&readout);
    readout.printHeader();
    comlink::RxBuffer block{};
    while (const std::optional<comlink::DataFileSlot::Line> line = log.readLine()) {
        const dash::Record record = dash::readRecord(line->text);
        std::copy(record.begin(), record.end(), block.begin());
        realtime.copyATdata(block, true);
    }
    readout.flush();
    return kDone;
}

}  // namespace cli
