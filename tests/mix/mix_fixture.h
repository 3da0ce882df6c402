// A window model over scripted services and a qpdf engine that can be told to fail,
// for the mix list and mix run tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
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

// The qpdf engine, counting the calls a mix makes and failing the Nth merge of two
// documents or the Nth save when asked.
class FaultyEngine : public QpdfEngine {
public:
    std::int32_t LoadFromFile(const std::string& f) override {
        ++calls;
        return QpdfEngine::LoadFromFile(f);
    }
    std::int32_t DecryptFile(const std::string& in, const std::string& out,
                             const std::string& p) override {
        ++calls;
        ++decryptFileCalls;
        return QpdfEngine::DecryptFile(in, out, p);
    }
    std::int32_t MergeDocument(std::int32_t id) override {
        ++calls;
        if (++merges == failMergeOn) return 0;
        return QpdfEngine::MergeDocument(id);
    }
    std::int32_t SaveToFile(const std::string& f) override {
        ++calls;
        if (++saves == failSaveOn) return 0;
        saved.push_back(f);
        return QpdfEngine::SaveToFile(f);
    }

    int calls = 0;  // loads, decryptions, merges and saves
    int decryptFileCalls = 0;
    int merges = 0;
    int saves = 0;
    int failMergeOn = 0;  // 0: never
    int failSaveOn = 0;   // 0: never
    std::vector<std::string> saved;
};

class MixTest : public ::testing::Test, protected FormHarness<FaultyEngine> {
protected:
    MixTest() { form.Form_Load(""); }

    void listTwo(int pages1, int pages2) {
        form.xbut_fisier_add(pdfFile("report.pdf", pages1, "A"));
        form.xbut_fisier_add(pdfFile("sheet.pdf", pages2, "B"));
    }
    // Pages of both documents by groups of `group1` and `group2`.
    void groups(int group1, int group2) {
        form.r_mix1_method1_e1.text = std::to_string(group1);
        form.r_mix2_method1_e1.text = std::to_string(group2);
    }
    std::vector<std::string> boxTexts() const { return ui.boxTexts(); }
    bool saidDone() const {
        for (const auto& box : ui.boxes) {
            if (box.text.rfind("Mix process done!", 0) == 0) return true;
        }
        return false;
    }
};

}  // namespace pagemeld::testing
