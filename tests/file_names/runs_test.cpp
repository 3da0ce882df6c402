// The merge, split and mix runs write their outputs under the very names the user's
// files and folders have; a name the file system cannot take ends the run with the
// file named, no success claimed, nothing half-written and no input touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "file_names/name_samples.h"
#include "lang/failure_reason.h"
#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;
using Texts = std::vector<std::string>;

// A window model over the real engine, with paths built from raw bytes.
struct NamedRun : FormHarness<QpdfEngine> {
    NamedRun() { form.Form_Load(""); }
    using FormHarness::dir, FormHarness::form, FormHarness::kSep, FormHarness::pdf, FormHarness::ui;

    // The folder `name` in the test's folder, made if missing, with a final separator.
    std::string folder(const std::string& name) const {
        const std::string path = pathToUtf8(dir.path()) + kSep + name;
        fs::create_directories(pathFromUtf8(path));
        return path + kSep;
    }
    std::string pdfIn(const std::string& in, const std::string& name, int pages,
                      const std::string& label) const {
        writeTestPdf(folder(in) + name, pages, label);
        return folder(in) + name;
    }
    Names namesIn(const std::string& in) const {
        Names names;
        for (const auto& entry : fs::directory_iterator(pathFromUtf8(folder(in)))) {
            names.insert(pathToUtf8(entry.path().filename()));
        }
        return names;
    }
    // Whether a box said `text`, or began with it and explained why on another line.
    bool said(const std::string& text) const {
        const std::string all = boxesSaid();
        return all.find("[" + text + "]") != all.npos || all.find("[" + text + "\r\n") != all.npos;
    }
    std::string boxesSaid() const {
        std::string all;
        for (const auto& box : ui.boxes) all += "[" + box.text + "] ";
        return all;
    }
    // The engine's hidden temporary files, or any other hidden file, left behind.
    Texts strays() const {
        Texts stray;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
            const std::string name = pathToUtf8(entry.path().filename());
            if (name.rfind(".pagemeld-", 0) == 0 || (name[0] == '.' && name.ends_with(".tmp"))) {
                stray.push_back(name);
            }
        }
        return stray;
    }
};

TEST(RunNames, MergeSplitAndMixUnderEveryName) {
    const auto folders = folderSamples();
    const auto samples = nameSamples();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        SCOPED_TRACE(samples[i].what);
        NamedRun run;
        const std::string name = samples[i].name;
        const std::string in = folders[i % folders.size()] + NamedRun::kSep;
        const std::string sheet = run.pdfIn("sheets", "sheet.pdf", 1, "B");

        run.form.mbut_fisier_add(run.pdfIn(in + "merge", name, 2, "S"));
        run.form.mbut_fisier_add(sheet);
        run.form.moutput_file.text = run.folder(in + "merged") + name;
        run.form.cmd_merge_Click();
        EXPECT_TRUE(run.said(run.form.catalogue.MsgMergeDone)) << run.boxesSaid();
        EXPECT_EQ(pageTexts(run.form.moutput_file.text), (Texts{"S 1", "S 2", "B 1"}));

        // Blanks around the base name are not part of the pieces' names; characters no
        // base name may hold are refused before anything is written.
        std::string base = name.substr(0, name.size() - 4);
        base.erase(0, base.find_first_not_of(' '));
        base.erase(base.find_last_not_of(' ') + 1);
        const bool refused = base.find_first_of("<>:/\\|?*") != std::string::npos;
        for (const bool mix : {false, true}) {
            const std::string folder = in + (mix ? "mix" : "split");
            const std::string source = run.pdfIn(folder, name, 2, "S");
            run.ui.boxes.clear();
            if (mix) {
                run.form.xbut_fisier_add(source);
                run.form.xbut_fisier_add(sheet);
                run.form.r_mix1_method1_e1.text = "1";
                run.form.r_mix2_method1_e1.text = "1";
                run.form.cmd_mix_run_Click();
            } else {
                run.form.add_fisier_split(source);
                run.form.cmd_split_run_Click();
            }
            const auto& done =
                mix ? run.form.catalogue.MsgMixDone : run.form.catalogue.MsgSplitDone;
            EXPECT_TRUE(run.said(refused ? run.form.catalogue.MsgOutputFileInvalidChar : done))
                << run.boxesSaid();
            EXPECT_EQ(run.namesIn(folder),
                      (refused ? Names{name} : Names{name, base + "01.pdf", base + "02.pdf"}));
            if (!refused) {
                EXPECT_EQ(pageTexts(run.folder(folder) + base + "02.pdf"),
                          (mix ? Texts{"S 2", "B 1"} : Texts{"S 2"}));
            }
        }
        EXPECT_EQ(run.strays(), Texts{});
    }
}

// Names' limits counted in bytes, under a folder of any length: a POSIX file system's.
TEST(RunNamesPosix, OutputsPastTheNameLimitsFailNamingThemAndLeaveNothing) {
    NamedRun run;
    const std::string in = run.folder("in");
    run.form.mbut_fisier_add(run.pdfIn("in", "a.pdf", 1, "A"));
    // An encrypted input among them.
    writeEncryptedPdf(in + "locked.pdf", TestPdfOptions{1, "L"}, Encryption::Aes256, "pw", "o");
    run.form.mbut_fisier_add(in + "locked.pdf");
    run.form.merge_grid.setTextMatrix(2, 4, "pw");
    // 255 bytes is the longest name there is, and it works.
    const std::string longest = in + std::string(251, 'm') + ".pdf";
    run.form.moutput_file.text = longest;
    run.form.cmd_merge_Click();
    EXPECT_TRUE(run.said(run.form.catalogue.MsgMergeDone)) << run.boxesSaid();
    EXPECT_EQ(pageTexts(longest), (Texts{"A 1", "L 1"}));
    fs::remove(longest);

    // One byte more, or a path past 4096 bytes: the output is named and the engine says
    // why (a bad file name, 52).
    std::string beyondPathMax = in;
    while (beyondPathMax.size() < 4200) beyondPathMax += "./";
    for (const std::string& output :
         {in + std::string(252, 'm') + ".pdf", beyondPathMax + "o.pdf"}) {
        run.ui.boxes.clear();
        run.form.moutput_file.text = output;
        run.form.cmd_merge_Click();
        EXPECT_NE(run.boxesSaid().find(run.form.catalogue.MsgErrMergeSave + " " + output + "\r\n" +
                                       failureReason(run.form.catalogue, errcode::kBadFileName)),
                  std::string::npos)
            << run.boxesSaid();
        EXPECT_EQ(run.namesIn("in"), (Names{"a.pdf", "locked.pdf"}));
    }

    EXPECT_EQ(run.strays(), Texts{});
}

}  // namespace
}  // namespace pagemeld::testing
