// The replay's record reader on any line: 30 values whatever the line holds, and a line the data
// log wrote reads back to the same values.
#include <cstdint>
#include <string_view>

#include "dash/LogFormat.h"
#include "dash/LogReplay.h"
#include "fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const dash::Record record = dash::readRecord(line);
    comlink::RxBuffer block{};
    for (std::size_t i = 0; i < record.size(); ++i) {
        block[i] = record[i];
    }
    const dash::Record again = dash::readRecord(dash::logLine(block));
    FUZZ_CHECK(again == record);
    return 0;
}
