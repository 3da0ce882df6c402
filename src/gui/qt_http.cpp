#include "gui/qt_http.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <new>

#include "base/runtime_error.h"

namespace pagemeld {

namespace {

bool isSuccess(const QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return false;
    const int code = status.toInt();
    return code >= 200 && code <= 299;
}

// The run-time error for a file that cannot be written, by the system's reason when
// it left one.
RuntimeError fileError(const QSaveFile& out, const std::string& file, int err) {
    std::int32_t code = errcode::kPathFileAccess;
    if (out.error() == QFileDevice::ResourceError) code = errcode::kDiskFull;
    if (err != 0) code = errorCodeFromErrno(err);
    return RuntimeError(code, "Cannot write " + file + ": " + out.errorString().toStdString());
}

}  // namespace

QtHttp::QtHttp() = default;
QtHttp::~QtHttp() = default;

HttpResult QtHttp::fetchToFile(const std::string& url, const std::string& file,
                               std::chrono::milliseconds timeout) {
    if (QCoreApplication::instance() == nullptr) return HttpResult::InitFailed;
    if (!manager_) {
        try {
            manager_ = std::make_unique<QNetworkAccessManager>();
        } catch (const std::bad_alloc&) {
            return HttpResult::InitFailed;
        }
    }

    // Only web addresses: the manager would also read local files and resources.
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || (scheme != "http" && scheme != "https")) {
        return HttpResult::CannotConnect;
    }

    // The body goes to a side file that replaces `file` only once it is complete,
    // so a broken transfer never leaves half a file behind.
    QSaveFile out(QString::fromStdString(file));
    errno = 0;
    if (!out.open(QIODevice::WriteOnly)) throw fileError(out, file, errno);

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());

    const std::unique_ptr<QNetworkReply> reply(manager_->get(request));
    bool timedOut = false;
    bool writeFailed = false;
    int writeErrno = 0;

    // Bodies of error pages and of redirects are read and dropped.
    auto takeBody = [&] {
        const QByteArray chunk = reply->readAll();
        if (writeFailed || chunk.isEmpty() || !isSuccess(*reply)) return;
        errno = 0;
        if (out.write(chunk) != chunk.size()) {
            writeFailed = true;
            writeErrno = errno;
            reply->abort();
        }
    };

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, takeBody);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeout);
    // The caller waits for the answer; clicks and keys wait with it, so no other
    // handler runs in between.
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    if (!timedOut && !writeFailed) takeBody();

    if (writeFailed) {
        out.cancelWriting();
        throw fileError(out, file, writeErrno);
    }
    if (timedOut || reply->error() != QNetworkReply::NoError || !isSuccess(*reply)) {
        out.cancelWriting();
        return HttpResult::CannotConnect;
    }
    errno = 0;
    if (!out.commit()) throw fileError(out, file, errno);
    return HttpResult::Ok;
}

}  // namespace pagemeld
