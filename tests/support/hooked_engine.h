// The real engine with hooks a test can make throw, standing for a run-time error the
// real engine cannot be made to raise on cue.
#pragma once

#include <functional>

#include "pdf/qpdf_engine.h"

namespace pagemeld::testing {

class HookedEngine : public QpdfEngine {
public:
    OpenedDocument open(const std::string& fileName, const std::string& password) override {
        if (onOpen) onOpen();
        return QpdfEngine::open(fileName, password);
    }
    PdfFailure write(const std::string& fileName, const std::vector<PageRef>& pages,
                     const DocumentInformation& information) override {
        if (onWrite) onWrite();
        return QpdfEngine::write(fileName, pages, information);
    }
    std::function<void()> onOpen;
    std::function<void()> onWrite;
};

}  // namespace pagemeld::testing
