#include "comlink/Transfer.h"

#include <utility>

#include "tune/Validation.h"

namespace comlink {

std::optional<Refusal> checkBeforeSend(const tune::Tune& tune, tune::Edition edition,
                                       EngineConstants& constants) {
    const std::optional<EngineConstants> computed = calcEngineConstants(tune);
    // The stray parenthesis is the title users of the controller have always seen here.
    if (!computed)
        return Refusal{"Can not Download!)", "Verify the Cylinder Count"};
    constants = *computed;
    if (std::optional<std::string> broken = tune::firstBrokenRule(tune, edition)) {
        return Refusal{"Can not Download!", std::move(*broken)};
    }
    return std::nullopt;
}

bool sendTune(Engine& engine, const tune::Tune& tune, const EngineConstants& constants) {
    download(engine, tune, constants);
    return engine.burn();
}

}  // namespace comlink
