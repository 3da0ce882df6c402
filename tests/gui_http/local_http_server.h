// A tiny HTTP server on 127.0.0.1 for client tests: it answers each path with a
// fixed raw response, or, when silent, reads the request and never answers.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pagemeld::testing {

// A complete HTTP/1.1 response that closes the connection.
std::string httpResponse(const std::string& statusLine, const std::string& body,
                         const std::string& extraHeaders = {});

class LocalHttpServer {
public:
    // Serves `routes` (path -> raw response); unknown paths get 404.
    explicit LocalHttpServer(std::map<std::string, std::string> routes);
    // Reads every request and never answers it.
    static LocalHttpServer silent();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    std::string url(const std::string& path) const;
    // The paths requested so far, in order.
    std::vector<std::string> requestedPaths() const;
    // Waits (at most `bound`) until a client closed a connection the silent server
    // was still holding; true when one did.
    bool waitForHangUp(std::chrono::seconds bound);

    // A port on 127.0.0.1 where nothing listens.
    static int closedPort();

private:
    LocalHttpServer(std::map<std::string, std::string> routes, bool silent);
    void serve();
    void handle(int client);

    std::map<std::string, std::string> routes_;
    bool silent_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> paths_;
    bool hungUp_ = false;
    std::thread thread_;
};

}  // namespace pagemeld::testing
