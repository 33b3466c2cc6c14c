#include "external/http/HttpServerModule.h"

#include "external/support/ModuleLoader.h"

std::unique_ptr<HttpServer> StartHttpServer(const HttpServerOptions& options, std::string* error)
{
    static ModuleLoader loader("quorvel_http.so", "quorvel_http_module", "libmicrohttpd12");
    auto* entry = reinterpret_cast<const HttpServerModule* (*)()>(loader.Entry(error));
    const HttpServerModule* module = entry != nullptr ? entry() : nullptr;
    if (entry == nullptr)
        return nullptr;
    if (module == nullptr || module->abi != HttpServerModule::kAbi) {
        *error = "the module belongs to another version of the program";
        return nullptr;
    }
    return module->start(options, error);
}
