#include "external/http/MhdServer.h"

#include "external/support/StrFormat.h"

#include <arpa/inet.h>
#include <cerrno>
#include <crypt.h>
#include <cstring>
#include <memory>
#include <microhttpd.h>
#include <netinet/in.h>

namespace {

// Bounds that keep the server's cost fixed whatever the clients do.
constexpr unsigned kConnections = 64;
constexpr unsigned kTimeoutSeconds = 5;
constexpr size_t kRequestMemory = 32 * 1024; // request line and headers of one connection
constexpr unsigned kBacklog = 64;

constexpr const char* kRealm = "Quorvel status";
// Everything the pages use comes from the server itself.
constexpr const char* kSecurityPolicy
    = "default-src 'self'; script-src 'self' 'unsafe-inline'; style-src 'self' 'unsafe-inline'; img-src 'self' data:";

struct FreeResponse {
    void operator()(MHD_Response* response) const { MHD_destroy_response(response); }
};
using Response = std::unique_ptr<MHD_Response, FreeResponse>;

struct FreeMhd {
    void operator()(char* text) const { MHD_free(text); }
};

Response TextResponse(const std::string& body, const std::string& type)
{
    Response response(
        MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY));
    if (response) {
        MHD_add_response_header(response.get(), MHD_HTTP_HEADER_CONTENT_TYPE, type.c_str());
        MHD_add_response_header(response.get(), MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
        MHD_add_response_header(response.get(), "X-Content-Type-Options", "nosniff");
        MHD_add_response_header(response.get(), "Content-Security-Policy", kSecurityPolicy);
    }
    return response;
}

int Queue(MHD_Connection* connection, unsigned status, const Response& response)
{
    return response && MHD_queue_response(connection, status, response.get()) == MHD_YES ? MHD_YES : MHD_NO;
}

// Compares without telling by its time how much of the hash matched.
bool SameText(const char* a, const std::string& b)
{
    const size_t length = std::strlen(a);
    unsigned char differ = length != b.size() ? 1 : 0;
    for (size_t i = 0; i < length && i < b.size(); ++i)
        differ |= static_cast<unsigned char>(a[i] ^ b[i]);
    return differ == 0;
}

bool PasswordMatches(const char* password, const std::string& hash)
{
    auto data = std::make_unique<crypt_data>();
    const char* made = crypt_rn(password, hash.c_str(), data.get(), sizeof(crypt_data));
    return made != nullptr && made[0] != '*' && SameText(made, hash);
}

MHD_Result AnswerThunk(void* self, MHD_Connection* connection, const char* url, const char* method,
    const char* /*version*/, const char* /*uploadData*/, size_t* /*uploadSize*/, void** /*state*/)
{
    return static_cast<MHD_Result>(MhdServer::Answer(self, connection, url, method));
}

} // namespace

MhdServer::MhdServer(HttpServerOptions options)
    : options_(std::move(options))
{
}

MhdServer::~MhdServer()
{
    if (daemon_ != nullptr)
        MHD_stop_daemon(daemon_);
}

int MhdServer::Start(std::string* error)
{
    sockaddr_in v4 {};
    sockaddr_in6 v6 {};
    const sockaddr* address = nullptr;
    if (options_.ipv6) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(options_.port);
        if (::inet_pton(AF_INET6, options_.host.c_str(), &v6.sin6_addr) != 1) {
            *error = options_.host + " is no IPv6 address";
            return -1;
        }
        address = reinterpret_cast<const sockaddr*>(&v6);
    } else {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(options_.port);
        if (::inet_pton(AF_INET, options_.host.c_str(), &v4.sin_addr) != 1) {
            *error = options_.host + " is no IPv4 address";
            return -1;
        }
        address = reinterpret_cast<const sockaddr*>(&v4);
    }
    const unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_AUTO | (options_.ipv6 ? MHD_USE_IPv6 : 0);
    errno = 0;
    daemon_ = MHD_start_daemon(flags, options_.port, nullptr, nullptr, &AnswerThunk, this,
        MHD_OPTION_SOCK_ADDR, address,
        MHD_OPTION_CONNECTION_LIMIT, kConnections,
        MHD_OPTION_CONNECTION_TIMEOUT, kTimeoutSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kRequestMemory,
        MHD_OPTION_LISTEN_BACKLOG_SIZE, kBacklog,
        MHD_OPTION_END);
    if (daemon_ == nullptr) {
        const int code = errno != 0 ? errno : EADDRINUSE;
        *error = StrFormat("cannot listen on %s port %u: %s", options_.host.c_str(),
            static_cast<unsigned>(options_.port), std::strerror(code));
        return -1;
    }
    return 0;
}

int MhdServer::Answer(void* self, MHD_Connection* connection, const char* url, const char* method)
{
    return static_cast<MhdServer*>(self)->Serve(connection, url, method);
}

bool MhdServer::Authorised(MHD_Connection* connection) const
{
    if (options_.credentials.empty())
        return true;
    char* password = nullptr;
    const std::unique_ptr<char, FreeMhd> user(MHD_basic_auth_get_username_password(connection, &password));
    const std::unique_ptr<char, FreeMhd> ownedPassword(password);
    if (!user || password == nullptr)
        return false;
    for (const auto& [name, hash] : options_.credentials) {
        if (name == user.get())
            return PasswordMatches(password, hash);
    }
    return false;
}

int MhdServer::Serve(MHD_Connection* connection, const char* url, const char* method)
{
    if (std::strcmp(method, MHD_HTTP_METHOD_GET) != 0 && std::strcmp(method, MHD_HTTP_METHOD_HEAD) != 0) {
        const Response response = TextResponse("Only GET and HEAD are served.\n", "text/plain; charset=utf-8");
        if (response)
            MHD_add_response_header(response.get(), MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
        return Queue(connection, MHD_HTTP_METHOD_NOT_ALLOWED, response);
    }
    if (!Authorised(connection)) {
        const Response response = TextResponse("Credentials needed.\n", "text/plain; charset=utf-8");
        return response && MHD_queue_basic_auth_fail_response(connection, kRealm, response.get()) == MHD_YES
            ? MHD_YES
            : MHD_NO;
    }
    std::string body;
    std::string type;
    if (!options_.content || options_.content(url, &body, &type) != 0)
        return Queue(connection, MHD_HTTP_NOT_FOUND, TextResponse("Not found.\n", "text/plain; charset=utf-8"));
    return Queue(connection, MHD_HTTP_OK, TextResponse(body, type));
}
