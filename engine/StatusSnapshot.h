#pragma once

#include "model/EventLive.h"
#include "model/ExecStats.h"

#include <cstdint>
#include <string>

class Quorvel;
class QuorvelRunner;

// The state of a running (or just ended) project as JSON text, made under the runner's lock.
std::string StatusSnapshotJson(const QuorvelRunner& project);

// One execution as the snapshot's list of recent executions holds it, made once when the
// execution is recorded (ExecStats::Recent::shown).
std::string SnapshotRecentText(const ExecStats::Recent& execution);

// The event's worker thread says what it does now (under the runner's lock, for the snapshot).
// `untilMs`: when a wait ends (Unix ms), 0 when not known.
void SetLiveState(Quorvel& event, EventLive::State state, int64_t untilMs = 0);

// Unix milliseconds as ISO 8601 UTC, "2026-12-07T17:00:00.123Z".
std::string UtcText(int64_t unixMs);
