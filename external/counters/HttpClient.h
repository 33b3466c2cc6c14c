#pragma once

#include <atomic>
#include <curl/curl.h>
#include <memory>
#include <string>

// Plain HTTP GETs through libcurl, one at a time, with short time-outs and a limited body.
// The connection is kept between requests, so repeated collections from one machine are cheap.
class HttpClient {
public:
    static constexpr long kConnectTimeoutMs = 2000;
    static constexpr long kTotalTimeoutMs = 5000;
    static constexpr size_t kMaxBody = 16 * 1024 * 1024;

    // `cancelled` is watched during every request; it must outlive the client.
    explicit HttpClient(const std::atomic<bool>& cancelled);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // GETs `url` into `body`. False with `error` set on a transport failure, an HTTP status other
    // than 200, a body over kMaxBody, or cancellation (then `error` is "cancelled").
    bool Get(const std::string& url, std::string* body, std::string* error);

private:
    struct EasyDeleter {
        void operator()(CURL* easy) const;
    };
    struct MultiDeleter {
        void operator()(CURLM* multi) const;
    };

    bool Setup(std::string* error);
    bool Transfer(std::string* error);

    const std::atomic<bool>& cancelled_;
    std::unique_ptr<CURL, EasyDeleter> easy_;
    std::unique_ptr<CURLM, MultiDeleter> multi_;
    std::string body_;
    char errorBuffer_[256] = {};
};
