// A test's folder with scripted services and the error handler over them: "program"
// is the program's folder, "work" holds the files a test makes and the outputs it
// reads back. Fixtures derive from it beside ::testing::Test, so its members are theirs
// by name.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "errors/error_handler.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {

using Texts = std::vector<std::string>;

class WorkFolder {
protected:
    WorkFolder() : system((dir.path() / "program").string()), errors(ui, system) {
        std::filesystem::create_directories(dir.path() / "program");
        std::filesystem::create_directories(dir.path() / "work");
    }

    // A file in the work folder.
    std::string work(const std::string& name) const {
        return (dir.path() / "work" / name).string();
    }
    // Writes `pages` pages labelled `label` to work(name) and returns its path.
    std::string pdfFile(const std::string& name, int pages, const std::string& label = "P") {
        writeTestPdf(work(name), pages, label);
        return work(name);
    }
#ifdef _WIN32
    static constexpr char kSep = '\\';
#else
    static constexpr char kSep = '/';
#endif
    // Every name in the work folder, hidden ones included, sorted.
    std::vector<std::string> workListing() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "work"))
            names.insert(entry.path().filename().string());
        return {names.begin(), names.end()};
    }
    // The PDFs in the work folder whose names start with `base`, each as the rest of its
    // name and its pages' texts without blanks: "01: P1 P2; 03: P7".
    std::string pieces(const std::string& base) const {
        std::string all;
        for (const std::string& name : workListing()) {
            if (name.rfind(base, 0) != 0 || !name.ends_with(".pdf")) continue;
            all += (all.empty() ? "" : "; ") +
                   name.substr(base.size(), name.size() - base.size() - 4) + ":";
            for (std::string page : pageTexts(work(name))) {
                std::erase(page, ' ');
                all += " " + page;
            }
        }
        return all;
    }
    static std::string bytesOf(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Whether a box shown holds `part` (a catalogue text, a file name).
    bool shown(const std::string& part) const {
        for (const auto& box : ui.boxes)
            if (box.text.find(part) != std::string::npos) return true;
        return false;
    }

    TempDir dir;
    FakeUi ui;
    FakeSettings settings;
    FakeHttp http;
    FakeSystem system;
    ErrorReporter errors;
};

}  // namespace pagemeld::testing
