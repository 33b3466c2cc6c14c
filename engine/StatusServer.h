#pragma once

#include "engine/MetricsWriter.h"

#include <memory>
#include <string>
#include <vector>

class HttpServer;
class Quorvel;
class QuorvelRunner;

// The status page of a run whose project listens ("Listen"): the page, /status.json, /metrics
// and /summary, served by the HTTP module on a thread of its own while the run lasts. Every
// answer is made from a copy of the statistics taken quickly under the runner's lock, so the run
// never waits for a client.
class StatusServer {
public:
    // `taking`: the events of `runner` that take part in the run.
    StatusServer(QuorvelRunner& runner, std::vector<const Quorvel*> taking);
    ~StatusServer();
    StatusServer(const StatusServer&) = delete;
    StatusServer& operator=(const StatusServer&) = delete;

    // Starts serving when the project listens (nothing otherwise). 0, or -1 after telling why on
    // standard error and in the program log: the run goes on without a page.
    int Start();
    // Stops serving; safe to call more than once.
    void Stop();

    // The body and content type of `path`: 0, or -1 when there is no such page.
    int Content(const std::string& path, std::string* body, std::string* type);

private:
    int Summary(std::string* body);

    QuorvelRunner& runner_;
    MetricsWriter metrics_; // never started: only its text
    std::unique_ptr<HttpServer> server_;
};
