#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A read-only HTTP server on a thread of its own; it stops when destroyed.
class HttpServer {
public:
    virtual ~HttpServer() = default;
};

struct HttpServerOptions {
    // The page of `path` (without query): 0 with its body and content type, -1 for "not found".
    // Called on the server's thread.
    using Content = std::function<int(const std::string& path, std::string* body, std::string* type)>;

    std::string host = "127.0.0.1"; // numeric
    bool ipv6 = false;
    uint16_t port = 0;
    // user, crypt hash; empty: no credentials asked for.
    std::vector<std::pair<std::string, std::string>> credentials;
    Content content;
};

// What the HTTP server module (quorvel_http.so, the only part that links libmicrohttpd and
// libcrypt) gives the program. Its one exported function, quorvel_http_module, returns this table;
// kAbi changes whenever the table or the types above change.
struct HttpServerModule {
    static constexpr int kAbi = 1;

    int abi = kAbi;
    // The server listening and serving, or null with the reason in `error`.
    std::unique_ptr<HttpServer> (*start)(const HttpServerOptions& options, std::string* error) = nullptr;
};

extern "C" const HttpServerModule* quorvel_http_module();

// Starts a server through the module, loaded at the first call; null with the reason in `error`
// (naming the package to install when the module's library is missing).
std::unique_ptr<HttpServer> StartHttpServer(const HttpServerOptions& options, std::string* error);
