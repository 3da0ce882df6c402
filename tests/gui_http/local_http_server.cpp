#include "local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace pagemeld::testing {

namespace {

// No server outlives a test that forgot it by more than this.
constexpr auto kLifetime = std::chrono::seconds(60);
constexpr int kPollMs = 50;

int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("socket() failed");
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

bool readable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}

void sendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string httpResponse(const std::string& statusLine, const std::string& body,
                         const std::string& extraHeaders) {
    return "HTTP/1.1 " + statusLine + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nContent-Type: text/plain\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

LocalHttpServer::LocalHttpServer(std::map<std::string, std::string> routes)
    : LocalHttpServer(std::move(routes), false) {}

LocalHttpServer LocalHttpServer::silent() {
    return LocalHttpServer({}, true);
}

LocalHttpServer::LocalHttpServer(std::map<std::string, std::string> routes, bool silent)
    : routes_(std::move(routes)), silent_(silent) {
    listener_ = listenOnLoopback(port_);
    thread_ = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LocalHttpServer::requestedPaths() const {
    std::lock_guard lock(mutex_);
    return paths_;
}

bool LocalHttpServer::waitForHangUp(std::chrono::seconds bound) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, bound, [this] { return hungUp_; });
}

int LocalHttpServer::closedPort() {
    int port = 0;
    ::close(listenOnLoopback(port));
    return port;
}

void LocalHttpServer::serve() {
    const auto deadline = std::chrono::steady_clock::now() + kLifetime;
    while (!stop_ && std::chrono::steady_clock::now() < deadline) {
        if (!readable(listener_, kPollMs)) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        handle(client);
        ::close(client);
    }
}

void LocalHttpServer::handle(int client) {
    const auto deadline = std::chrono::steady_clock::now() + kLifetime;
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos) {
        if (stop_ || std::chrono::steady_clock::now() >= deadline) return;
        if (!readable(client, kPollMs)) continue;
        char buffer[4096];
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    // "GET /path HTTP/1.1"
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    {
        std::lock_guard lock(mutex_);
        paths_.push_back(path);
    }

    if (silent_) {
        // Hold the connection open until the client gives up on it.
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            if (!readable(client, kPollMs)) continue;
            char buffer[256];
            if (::recv(client, buffer, sizeof buffer, 0) <= 0) {
                std::lock_guard lock(mutex_);
                hungUp_ = true;
                changed_.notify_all();
                return;
            }
        }
        return;
    }

    const auto route = routes_.find(path);
    sendAll(client,
            route != routes_.end() ? route->second : httpResponse("404 Not Found", "no such page"));
}

}  // namespace pagemeld::testing
