// The Http service on Qt's network stack.
#pragma once

#include <memory>

#include "base/platform.h"

class QNetworkAccessManager;

namespace pagemeld {

// Fetches one address at a time, blocking the caller: a local event loop runs until
// the answer is complete or the time-out has run out, and user input waits until
// then. Redirects are followed as long as they do not lead from https to http.
// Needs a QCoreApplication (or QApplication) on the calling thread.
class QtHttp : public Http {
public:
    QtHttp();
    ~QtHttp() override;
    QtHttp(const QtHttp&) = delete;
    QtHttp& operator=(const QtHttp&) = delete;

    // Ok: the answer had a 2xx status and its whole body is in `file`, which is
    // replaced in one step. CannotConnect: no connection, an error status, a broken
    // transfer or the time-out; `file` is left as it was. InitFailed: there is no
    // application object or the network manager cannot be made. A file that cannot
    // be written throws RuntimeError with the file error's code.
    HttpResult fetchToFile(const std::string& url, const std::string& file,
                           std::chrono::milliseconds timeout) override;

private:
    std::unique_ptr<QNetworkAccessManager> manager_;
};

}  // namespace pagemeld
