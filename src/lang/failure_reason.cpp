#include "lang/failure_reason.h"

#include "base/runtime_error.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

std::string failureReason(const Catalogue& catalogue, std::int32_t engineErrorCode) {
    switch (engineErrorCode) {
        case errcode::kDiskFull:
            return catalogue.MsgWhyDiskFull;
        case errcode::kPermissionDenied:
            return catalogue.MsgWhyDenied;
        case errcode::kPathNotFound:
            return catalogue.MsgWhyNoFolder;
        case errcode::kBadFileName:
            return catalogue.MsgWhyBadName;
        default:
            return {};
    }
}

std::string withFailureReason(const Catalogue& catalogue, const std::string& message,
                              std::int32_t engineErrorCode) {
    const std::string reason = failureReason(catalogue, engineErrorCode);
    return reason.empty() ? message : message + "\r\n" + reason;
}

}  // namespace pagemeld
