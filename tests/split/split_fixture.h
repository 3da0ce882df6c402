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

class SplitTest : public ::testing::Test {
protected:
    SplitTest()
        : system((dir.path() / "program").string()),
          errors(ui, system),
          form(ui, settings, http, system, pdf, errors) {
        std::filesystem::create_directories(dir.path() / "program");
        std::filesystem::create_directories(dir.path() / "work");
        form.Form_Load("");
        form.repaint = [this] { bar.push_back(form.splitpb.value); };
    }

    // A file in the work folder.
    std::string work(const std::string& name) const {
        return (dir.path() / "work" / name).string();
    }
    std::string workFolder() const { return (dir.path() / "work").string() + kSep; }
    // Writes `pages` pages labelled `label` to work(name) and returns its path.
    std::string pdfFile(const std::string& name, int pages, const std::string& label = "P") {
        writeTestPdf(work(name), pages, label);
        return work(name);
    }
    // The names in the work folder, sorted.
    std::vector<std::string> workListing() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "work"))
            names.insert(entry.path().filename().string());
        return {names.begin(), names.end()};
    }
    std::string cell(int col) const { return form.split_grid.textMatrix(1, col); }

#ifdef _WIN32
    static constexpr char kSep = '\\';
#else
    static constexpr char kSep = '/';
#endif

    TempDir dir;
    FakeUi ui;
    FakeSettings settings;
    FakeHttp http;
    FakeSystem system;
    SplitEngine pdf;
    ErrorReporter errors;
    Form1 form;
    std::vector<int> bar;  // splitpb at every repaint
};

}  // namespace pagemeld::testing
