// The settings-file reader on any bytes, in the Edition the last byte picks. It must report one of
// its outcomes, leave the Tune untouched when the header is not ours, and whatever it loaded must
// save and load back to the same settings text. The loaded Tune then takes the path of a send: the
// checks and, when they pass, the 53 writes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "comlink/Transfer.h"
#include "fuzz/Check.h"
#include "tune/SettingsFile.h"
#include "tune/SettingsText.h"
#include "tune/ValueReader.h"

namespace {

using tune::Edition;
using tune::LoadOutcome;

// What a load can change: the settings text, the thresholds' shown texts and the list selections.
std::string fingerprint(const tune::Tune& t) {
    std::string all = settingStr(t) + '\n' + t.outputs[0].text + '\n' + t.outputs[1].text + '\n';
    for (const tune::ListField* list : {&t.cylinders, &t.crankDelay, &t.limitType, &t.xled,
                                        &t.knockIncr, &t.outputs[0].channel, &t.outputs[1].channel})
        all += std::to_string(list->index) + ',';
    return all;
}

// The settings text quotes 42 texts; a text with a double quote inside is written as it stands
// and is known not to read back the same.
bool quotesOnlyAroundTexts(const std::string& settingsText) {
    return std::count(settingsText.begin(), settingsText.end(), '"') == 2 * 42;
}

// The values in the whole input, header line included.
std::size_t countValues(std::string_view contents) {
    tune::ValueReader reader(contents);
    std::size_t values = 0;
    while (reader.next()) {
        // Every value consumes input, so no input reads forever.
        FUZZ_CHECK(++values <= contents.size());
    }
    return values;
}

void sendPath(const tune::Tune& t, Edition edition) {
    comlink::EngineConstants constants;
    if (comlink::checkBeforeSend(t, edition, constants))
        return;
    const std::vector<comlink::ImageWrite> writes = comlink::encodeTune(t, constants);
    FUZZ_CHECK(writes.size() == 53);
    for (const comlink::ImageWrite& write : writes)
        FUZZ_CHECK(write.offset >= 0 && write.offset <= 53 && write.offset != 49);
}

void loadIn(Edition edition, std::string_view contents, std::size_t values) {
    tune::Tune t = tune::Tune::startup(edition);
    const std::string before = fingerprint(t);
    const LoadOutcome outcome = tune::loadSettingsContents(t, contents);
    FUZZ_CHECK(outcome == LoadOutcome::Loaded || outcome == LoadOutcome::NotSettingsFile ||
               outcome == LoadOutcome::Failed);
    if (outcome == LoadOutcome::NotSettingsFile) {
        FUZZ_CHECK(fingerprint(t) == before);
        return;
    }
    // A complete load reads at least 53 values (the first layout's), after the header's one.
    if (outcome == LoadOutcome::Loaded)
        FUZZ_CHECK(values >= 1 + 53);

    const std::string text = settingStr(t);
    if (quotesOnlyAroundTexts(text)) {
        const std::string saved = tune::settingsFileText(t, tune::editionInfo(edition).editionName);
        tune::Tune again = tune::Tune::startup(edition);
        FUZZ_CHECK(tune::loadSettingsContents(again, saved) == LoadOutcome::Loaded);
        FUZZ_CHECK(settingStr(again) == text);
    }
    sendPath(t, edition);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    const std::size_t values = countValues(contents);
    loadIn(static_cast<Edition>(size > 0 ? data[size - 1] % 4 : 0), contents, values);
    return 0;
}
