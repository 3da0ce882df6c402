// A window model over scripted services and the qpdf engine for the merge tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/form_harness.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {

// The qpdf engine, counting the calls a run makes, with a hook a test can make throw
// while a file's encryption is checked.
class HookedEngine : public QpdfEngine {
public:
    std::int32_t LoadFromFile(const std::string& f) override {
        ++calls;
        return QpdfEngine::LoadFromFile(f);
    }
    std::int32_t EncryptionStatus() const override {
        if (onEncryptionStatus) onEncryptionStatus();
        return QpdfEngine::EncryptionStatus();
    }
    void ClearFileList(const std::string& l) override {
        ++calls;
        QpdfEngine::ClearFileList(l);
    }

    int calls = 0;
    std::function<void()> onEncryptionStatus;
};

class MergeTest : public ::testing::Test, protected FormHarness<HookedEngine> {
protected:
    MergeTest() { form.Form_Load(""); }

    // Column `col` of file rows 1..count.
    std::vector<std::string> column(int col) const {
        std::vector<std::string> texts;
        for (int r = 1; r <= form.state.mgrid_count; ++r)
            texts.push_back(form.merge_grid.textMatrix(r, col));
        return texts;
    }
};

}  // namespace pagemeld::testing
