// A window model over scripted services for the split tests, with an engine that
// notes the files it is asked to save and can be told to fail some of them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
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

class SplitEngine : public QpdfEngine {
public:
    std::int32_t LoadFromFile(const std::string& fileName) override {
        loads.push_back(fileName);
        return QpdfEngine::LoadFromFile(fileName);
    }
    std::int32_t DecryptFile(const std::string& input, const std::string& output,
                             const std::string& password) override {
        decryptedTo.push_back(output);
        return QpdfEngine::DecryptFile(input, output, password);
    }
    std::int32_t SaveToFile(const std::string& fileName) override {
        saves.push_back(fileName);
        if (beforeSave) beforeSave();
        // Stands for a full disk: the file is not created.
        if (failSaves.count(fileName)) return 0;
        return QpdfEngine::SaveToFile(fileName);
    }

    std::vector<std::string> loads;
    std::vector<std::string> decryptedTo;
    std::vector<std::string> saves;
    std::set<std::string> failSaves;
    std::function<void()> beforeSave;  // may throw to stand for a run-time error
};

class SplitTest : public ::testing::Test, protected FormHarness<SplitEngine> {
protected:
    SplitTest() { form.Form_Load(""); }

    std::string cell(int col) const { return form.split_grid.textMatrix(1, col); }
};

}  // namespace pagemeld::testing
