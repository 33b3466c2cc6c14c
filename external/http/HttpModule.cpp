// The entry of quorvel_http.so: the status page's server, with libmicrohttpd, which only this
// module links.
#include "external/http/HttpServerModule.h"
#include "external/http/MhdServer.h"

namespace {

std::unique_ptr<HttpServer> Start(const HttpServerOptions& options, std::string* error)
{
    auto server = std::make_unique<MhdServer>(options);
    if (server->Start(error) != 0)
        return nullptr;
    return server;
}

} // namespace

extern "C" __attribute__((visibility("default"))) const HttpServerModule* quorvel_http_module()
{
    static const HttpServerModule module { HttpServerModule::kAbi, &Start };
    return &module;
}
