#include "external/counters/HttpClient.h"

#include "external/support/StrFormat.h"

#include <mutex>

namespace {

// How long one wait for network activity lasts: the latency of a cancellation.
constexpr int kPollSliceMs = 50;

// libcurl's global set-up is not thread-safe and must happen once, before any handle exists.
bool GlobalInit()
{
    static std::once_flag once;
    static CURLcode result = CURLE_OK;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result == CURLE_OK;
}

size_t AppendBody(char* data, size_t size, size_t count, void* user)
{
    auto* body = static_cast<std::string*>(user);
    const size_t bytes = size * count;
    if (body->size() + bytes > HttpClient::kMaxBody)
        return 0; // aborts the transfer with CURLE_WRITE_ERROR
    body->append(data, bytes);
    return bytes;
}

} // namespace

void HttpClient::EasyDeleter::operator()(CURL* easy) const
{
    curl_easy_cleanup(easy);
}

void HttpClient::MultiDeleter::operator()(CURLM* multi) const
{
    curl_multi_cleanup(multi);
}

HttpClient::HttpClient(const std::atomic<bool>& cancelled)
    : cancelled_(cancelled)
{
}

// The easy handle is never left inside the multi handle, so the two can go in any order.
HttpClient::~HttpClient() = default;

bool HttpClient::Get(const std::string& url, std::string* body, std::string* error)
{
    if (!Setup(error))
        return false;
    body_.clear();
    errorBuffer_[0] = '\0';
    curl_easy_setopt(easy_.get(), CURLOPT_URL, url.c_str());
    if (!Transfer(error))
        return false;
    long status = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        *error = StrFormat("HTTP status %ld", status);
        return false;
    }
    body->swap(body_);
    return true;
}

// The handles are made on first use and kept, with the options that never change.
bool HttpClient::Setup(std::string* error)
{
    if (easy_)
        return true;
    if (!GlobalInit()) {
        *error = "libcurl could not be initialised";
        return false;
    }
    easy_.reset(curl_easy_init());
    multi_.reset(curl_multi_init());
    if (!easy_ || !multi_) {
        easy_.reset();
        *error = "libcurl could not make a handle";
        return false;
    }
    CURL* easy = easy_.get();
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L); // worker threads: no SIGALRM for name look-ups
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, kTotalTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_PROXY, ""); // counters are read from the machines themselves
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBody));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body_);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_);
    return true;
}

// Runs the request through the multi interface, waiting in short slices so that a cancellation
// is seen at once instead of after the time-out.
bool HttpClient::Transfer(std::string* error)
{
    CURLM* multi = multi_.get();
    if (curl_multi_add_handle(multi, easy_.get()) != CURLM_OK) {
        *error = "libcurl could not start the request";
        return false;
    }
    CURLcode result = CURLE_OK;
    int running = 1;
    while (running != 0 && !cancelled_.load()) {
        if (curl_multi_perform(multi, &running) != CURLM_OK
            || (running != 0 && curl_multi_poll(multi, nullptr, 0, kPollSliceMs, nullptr) != CURLM_OK)) {
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi, easy_.get());
    if (running != 0 && result == CURLE_OK) {
        *error = "cancelled";
        return false;
    }
    if (result != CURLE_OK) {
        *error = errorBuffer_[0] != '\0' ? std::string(errorBuffer_) : curl_easy_strerror(result);
        return false;
    }
    return true;
}
