#include "MetricsServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Waits for `fd` to become readable, in slices so that a stop request is seen.
bool WaitReadable(int fd, const std::atomic<bool>& stop)
{
    while (!stop.load()) {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, 50) > 0)
            return true;
    }
    return false;
}

std::string ReadRequestHead(int connection, const std::atomic<bool>& stop)
{
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && WaitReadable(connection, stop)) {
        const ssize_t n = ::read(connection, buffer, sizeof buffer);
        if (n <= 0)
            break;
        head.append(buffer, static_cast<size_t>(n));
    }
    return head;
}

void WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

} // namespace

MetricsServer::MetricsServer(std::vector<Reply> replies)
    : replies_(std::move(replies))
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener_, 16) != 0
        || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("MetricsServer: cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

MetricsServer::~MetricsServer()
{
    stop_.store(true);
    thread_.join();
    for (int fd : heldOpen_)
        ::close(fd);
    ::close(listener_);
}

std::string MetricsServer::Machine() const
{
    return "127.0.0.1:" + std::to_string(port_);
}

void MetricsServer::Serve()
{
    while (WaitReadable(listener_, stop_)) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0)
            Answer(connection);
    }
}

void MetricsServer::Answer(int connection)
{
    const int number = requests_.load();
    const Reply& reply = replies_[std::min(static_cast<size_t>(number), replies_.size() - 1)];
    ReadRequestHead(connection, stop_);
    requests_.fetch_add(1);
    if (reply.silent) {
        heldOpen_.push_back(connection);
        return;
    }
    WriteAll(connection,
        "HTTP/1.1 " + std::to_string(reply.status) + " X\r\nContent-Type: text/plain; version=0.0.4\r\n"
            + "Content-Length: " + std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n" + reply.body);
    ::close(connection);
}

std::string MetricsBody(const std::vector<std::string>& sampleLines)
{
    std::string body = "# HELP quorvel_test A page made by the test.\n# TYPE quorvel_test gauge\nquorvel_test 1\n";
    for (const std::string& line : sampleLines)
        body += line + "\n";
    return body;
}
