// A window model over scripted services and the real engine, with helpers that build
// paths from raw bytes: every name reaches the model exactly as the user has it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "file_names/name_samples.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/form_harness.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {

#ifdef _WIN32
inline constexpr char kSep = '\\';
#else
inline constexpr char kSep = '/';
#endif

class NamesTest : public ::testing::Test, protected FormHarness<QpdfEngine> {
protected:
    NamesTest() { form.Form_Load(""); }

    // The folder `name` in the test's folder, made if missing, with a final separator.
    std::string folder(const std::string& name) {
        const std::string path = pathToUtf8(dir.path()) + kSep + name;
        std::filesystem::create_directories(pathFromUtf8(path));
        return path + kSep;
    }
    // Writes a PDF of `pages` pages labelled `label` as `name` in folder(`in`).
    std::string pdfIn(const std::string& in, const std::string& name, int pages,
                      const std::string& label) {
        const std::string path = folder(in) + name;
        writeTestPdf(path, pages, label);
        return path;
    }
    bool shown(const std::string& text) const {
        for (const auto& box : ui.boxes) {
            if (box.text == text) return true;
        }
        return false;
    }
    bool shownStartingWith(const std::string& start) const {
        for (const auto& box : ui.boxes) {
            if (box.text.rfind(start, 0) == 0) return true;
        }
        return false;
    }
    std::string boxesSaid() const {
        std::string all;
        for (const auto& box : ui.boxes) all += "[" + box.text + "] ";
        return all;
    }
};

}  // namespace pagemeld::testing
