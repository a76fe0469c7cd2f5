#pragma once

#include <optional>
#include <string>

#include "comlink/Codec.h"
#include "comlink/Engine.h"
#include "tune/Edition.h"
#include "tune/Tune.h"

// The send sequence shared by the Setup window and the command-line tool: the checks that may
// refuse a Tune, then the writes and the store command.
namespace comlink {

// Why a Tune may not be sent: the message box title and text (CR LF inside where it has two
// lines).
struct Refusal {
    std::string title;
    std::string message;
    bool operator==(const Refusal&) const = default;
};

// The cylinder count first (its constants go to `constants` when it is usable, even if a later
// check refuses), then the validation rules of the Edition. Nothing when the Tune may be sent.
std::optional<Refusal> checkBeforeSend(const tune::Tune& tune, tune::Edition edition,
                                       EngineConstants& constants);

// Queues the 53 writes, waits for the output to drain and queues the store command. False when
// the store command could not be queued (the port closed or the line stalled meanwhile).
bool sendTune(Engine& engine, const tune::Tune& tune, const EngineConstants& constants);

}  // namespace comlink
