#pragma once

#include "external/http/HttpServerModule.h"

#include <string>

struct MHD_Connection;
struct MHD_Daemon;

// The status page's server with libmicrohttpd: one polling thread of its own, a bounded number of
// connections, each with a time limit and a bounded memory for its request, so that no client, slow
// or hostile, costs the run more than that thread. It serves GET and HEAD only.
class MhdServer : public HttpServer {
public:
    explicit MhdServer(HttpServerOptions options);
    ~MhdServer() override;
    MhdServer(const MhdServer&) = delete;
    MhdServer& operator=(const MhdServer&) = delete;

    // 0 when listening, or -1 with the reason in `error`.
    int Start(std::string* error);

    // The answer to one request, on the server's thread (the library's callback calls it).
    static int Answer(void* self, MHD_Connection* connection, const char* url, const char* method);

private:
    int Serve(MHD_Connection* connection, const char* url, const char* method);
    bool Authorised(MHD_Connection* connection) const;

    const HttpServerOptions options_;
    MHD_Daemon* daemon_ = nullptr;
};
