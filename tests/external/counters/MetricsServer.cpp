#include "MetricsServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Reads up to the end of the request head, or until the client closes the connection or sends
// nothing for ten seconds.
void ReadRequestHead(int connection)
{
    const timeval limit { 10, 0 };
    ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::read(connection, buffer, sizeof buffer);
        if (n <= 0)
            return;
        head.append(buffer, static_cast<size_t>(n));
    }
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
    // Shutting the listener down ends the accept that Serve waits in.
    ::shutdown(listener_, SHUT_RDWR);
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
    for (;;) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0)
            Answer(connection);
        else if (errno != EINTR && errno != ECONNABORTED)
            return;
    }
}

void MetricsServer::Answer(int connection)
{
    const int number = requests_.load();
    const Reply& reply = replies_[std::min(static_cast<size_t>(number), replies_.size() - 1)];
    ReadRequestHead(connection);
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
