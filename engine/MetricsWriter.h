#pragma once

#include "engine/SecondTicker.h"
#include "external/support/StreakFlag.h"

#include <string>
#include <vector>

class Quorvel;
class QuorvelRunner;

// The project's metrics file while a run lasts: the statistics of every event that takes part, in
// the text format of node_exporter's textfile collector. Rewritten whole at most once a second, and
// once more when the run ends, by renaming a finished file over the old one, so that the collector
// never reads half a file.
class MetricsWriter {
public:
    // `taking`: the events of `runner` that take part in the run.
    MetricsWriter(QuorvelRunner& runner, std::vector<const Quorvel*> taking);
    ~MetricsWriter();
    MetricsWriter(const MetricsWriter&) = delete;
    MetricsWriter& operator=(const MetricsWriter&) = delete;

    // Starts the writing thread; nothing happens when the project names no metrics file.
    void Start();
    // Ends the thread promptly and writes the file a last time. Safe to call more than once.
    void Stop();

    // The file's content for the events' statistics now (taken under the runner's lock).
    std::string Text() const;
    // Writes the file once: 0, or -1 when it could not be written (told once per streak).
    int WriteOnce();

private:
    QuorvelRunner& runner_;
    const std::vector<const Quorvel*> taking_;
    StreakFlag streak_;
    SecondTicker ticker_;
};
