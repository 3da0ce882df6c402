// A window model over scripted services and engine `Engine`, in a folder of its own:
// "program" is the program's folder, "work" holds the files a test lists. Fixtures
// derive from it beside ::testing::Test, so its members are theirs by name.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {

template <class Engine>
class FormHarness {
protected:
    FormHarness()
        : system((dir.path() / "program").string()),
          errors(ui, system),
          form(ui, settings, http, system, pdf, errors) {
        std::filesystem::create_directories(dir.path() / "program");
        std::filesystem::create_directories(dir.path() / "work");
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
    // Every name in the work folder, hidden ones included, sorted.
    std::vector<std::string> workListing() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "work"))
            names.insert(entry.path().filename().string());
        return {names.begin(), names.end()};
    }

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
    Engine pdf;
    ErrorReporter errors;
    Form1 form;
};

}  // namespace pagemeld::testing
