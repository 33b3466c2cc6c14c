#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// A small HTTP server on 127.0.0.1 that answers each request with the next of its replies (the
// last one again once they run out), so that tests can give an exporter's page exact contents.
class MetricsServer {
public:
    struct Reply {
        std::string body;
        int status = 200;
        bool silent = false; // accept the request but never answer it
    };

    explicit MetricsServer(std::vector<Reply> replies);
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // "127.0.0.1:port", as an event's machine.
    std::string Machine() const;
    int Requests() const { return requests_.load(); }

private:
    void Serve();
    void Answer(int connection);

    const std::vector<Reply> replies_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> requests_ { 0 };
    std::vector<int> heldOpen_; // connections of silent replies, closed at the end
    std::thread thread_;
};

// A metrics body from its sample lines, with the HELP and TYPE comments an exporter writes.
std::string MetricsBody(const std::vector<std::string>& sampleLines);
