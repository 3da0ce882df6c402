// The merge, split and mix runs write their outputs under the very names the user's
// files and folders have; a name the file system cannot take ends the run with the
// file named, no success claimed, nothing half-written and no input touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/controls.h"
#include "file_names/names_fixture.h"

namespace pagemeld::testing {
namespace {

using Texts = std::vector<std::string>;

class RunNamesTest : public NamesTest {
protected:
    // Blanks around a typed base name are not part of the outputs' names.
    static std::string baseOf(const std::string& name) {
        std::string base = name.substr(0, name.size() - 4);
        base.erase(0, base.find_first_not_of(' '));
        base.erase(base.find_last_not_of(' ') + 1);
        return base;
    }
    // The characters a base name may not hold, whatever the platform allows.
    static bool refusedAsBase(const std::string& base) {
        return base.find_first_of("<>:/\\|?*") != std::string::npos;
    }
    bool said(const std::string& text) const { return shown(text); }
    // A failure names the output first; an explanation may follow on its own line.
    bool saidFirst(const std::string& text) const {
        return shown(text) || shownStartingWith(text + "\r\n");
    }
};

TEST_F(RunNamesTest, MergeJoinsFilesOfEveryNameIntoAnOddlyNamedOutput) {
    const auto names = nameSamples();
    const auto folders = folderSamples();
    Texts expected;
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int pages = 1 + static_cast<int>(i % 2);
        const std::string label = "S" + std::to_string(i);
        inputs.push_back(pdfIn(folders[i % folders.size()].name, names[i].name, pages, label));
        form.mbut_fisier_add(inputs.back());
        for (int p = 1; p <= pages; ++p) expected.push_back(label + " " + std::to_string(p));
    }
    const std::string output =
        folder("\xE5\x87\xBA\xE5\x8A\x9B out \xC3\xBC") + "merged \xF0\x9F\x98\x80 ;,.pdf";
    form.moutput_file.text = output;
    form.cmd_merge_Click();
    EXPECT_TRUE(said(form.catalogue.MsgMergeDone)) << boxesSaid();
    EXPECT_EQ(pageTexts(output), expected);
    EXPECT_TRUE(strayTemporaries(dir.path()).empty());

    // With the overwrite box ticked, the output may be one of the inputs: the input
    // is replaced by the complete merge, never by a part of it.
    ui.boxes.clear();
    form.chk_merge_ovr.value = kChecked;
    form.moutput_file.text = inputs[4];
    form.cmd_merge_Click();
    EXPECT_TRUE(said(form.catalogue.MsgMergeDone)) << boxesSaid();
    EXPECT_EQ(pageTexts(inputs[4]), expected);
    EXPECT_TRUE(strayTemporaries(dir.path()).empty());
}

TEST_F(RunNamesTest, MergeWritesToEveryOutputNameAsTyped) {
    form.mbut_fisier_add(pdfIn("in", "a.pdf", 1, "A"));
    form.mbut_fisier_add(pdfIn("in", "b.pdf", 2, "B"));
    const auto names = nameSamples();
    const auto folders = folderSamples();
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].what);
        ui.boxes.clear();
        const std::string out = folder(folders[i % folders.size()].name) + names[i].name;
        form.moutput_file.text = out;
        form.cmd_merge_Click();
        EXPECT_TRUE(said(form.catalogue.MsgMergeDone)) << boxesSaid();
        EXPECT_EQ(pageTexts(out), (Texts{"A 1", "B 1", "B 2"}));
    }
    // Each output landed under its own name, and no other was made.
    std::set<std::string> made;
    for (const auto& f : folderSamples()) {
        for (const std::string& name : namesIn(folder(f.name))) made.insert(name);
    }
    std::set<std::string> wanted;
    for (const auto& sample : names) wanted.insert(sample.name);
    EXPECT_EQ(made, wanted);
}

TEST_F(RunNamesTest, SplitNamesItsPiecesAfterEverySource) {
    const auto names = nameSamples();
    const auto folders = folderSamples();
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].what);
        ui.boxes.clear();
        // A folder of its own per source, inside a folder with an odd name.
        const std::string in = folders[i % folders.size()].name + kSep + std::to_string(i);
        const std::string source = pdfIn(in, names[i].name, 2, "S");
        form.add_fisier_split(source);
        form.cmd_split_run_Click();
        const std::string base = baseOf(names[i].name);
        if (refusedAsBase(base)) {
            // Told, and nothing written: another base name can be typed.
            EXPECT_TRUE(said(form.catalogue.MsgOutputFileInvalidChar)) << boxesSaid();
            EXPECT_EQ(namesIn(folder(in)), (std::set<std::string>{names[i].name}));
            continue;
        }
        EXPECT_TRUE(said(form.catalogue.MsgSplitDone)) << boxesSaid();
        EXPECT_EQ(namesIn(folder(in)),
                  (std::set<std::string>{names[i].name, base + "01.pdf", base + "02.pdf"}));
        EXPECT_EQ(pageTexts(folder(in) + base + "01.pdf"), Texts{"S 1"});
        EXPECT_EQ(pageTexts(folder(in) + base + "02.pdf"), Texts{"S 2"});
    }
}

TEST_F(RunNamesTest, SplitKnowsItsSourceUnderAnyNameAndWillNotReplaceIt) {
    // The source is named as its first piece would be: the run refuses before writing.
    const std::string name =
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"
        "01.pdf";
    const std::string source = pdfIn("\xC3\xA9t\xC3\xA9", name, 3, "S");
    form.add_fisier_split(source);
    form.txt_split_filename.text = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    form.cmd_split_run_Click();
    EXPECT_TRUE(said(form.catalogue.MsgErrSplitOverSource + " " + source)) << boxesSaid();
    EXPECT_EQ(pageTexts(source), (Texts{"S 1", "S 2", "S 3"}));
    EXPECT_EQ(namesIn(folder("\xC3\xA9t\xC3\xA9")), (std::set<std::string>{name}));
}

TEST_F(RunNamesTest, MixNamesItsPiecesAfterEveryFirstDocument) {
    const auto names = nameSamples();
    const auto folders = folderSamples();
    const std::string sheet = pdfIn("sheets", "sheet.pdf", 1, "B");
    form.r_mix1_method1_e1.text = "1";
    form.r_mix2_method1_e1.text = "1";
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].what);
        ui.boxes.clear();
        const std::string in = folders[i % folders.size()].name + kSep + std::to_string(i);
        form.xbut_fisier_add(pdfIn(in, names[i].name, 2, "S"));
        form.xbut_fisier_add(sheet);
        form.cmd_mix_run_Click();
        const std::string base = baseOf(names[i].name);
        if (refusedAsBase(base)) {
            EXPECT_TRUE(said(form.catalogue.MsgOutputFileInvalidChar)) << boxesSaid();
            EXPECT_EQ(namesIn(folder(in)), (std::set<std::string>{names[i].name}));
        } else {
            EXPECT_TRUE(said(form.catalogue.MsgMixDone)) << boxesSaid();
            EXPECT_EQ(namesIn(folder(in)),
                      (std::set<std::string>{names[i].name, base + "01.pdf", base + "02.pdf"}));
            EXPECT_EQ(pageTexts(folder(in) + base + "01.pdf"), (Texts{"S 1", "B 1"}));
            EXPECT_EQ(pageTexts(folder(in) + base + "02.pdf"), (Texts{"S 2", "B 1"}));
        }
        form.x_but_rem_Click();
        form.x_but_rem_Click();
    }
}

// Names' limits counted in bytes, under a folder of any length: a POSIX file system's.
class RunNamesPosixTest : public RunNamesTest {};

TEST_F(RunNamesPosixTest, SplitStopsAtThePieceWhoseNameIsTooLong) {
    // A base of 249 bytes: "01.pdf" to "99.pdf" make names of 255 bytes, the most a
    // folder takes; "100.pdf" makes 256.
    const std::string in = folder("long");
    const std::string name = nameOfBytes(253, 'b');
    const std::string base = name.substr(0, 249);
    TestPdfOptions options;
    options.pages = 101;
    options.label = "P";
    options.sharedImage = false;
    writeTestPdf(in + name, options);

    form.add_fisier_split(in + name);
    form.cmd_split_run_Click();
    EXPECT_TRUE(saidFirst(form.catalogue.MsgErrSplitSave + " " + in + base + "100.pdf"))
        << boxesSaid();
    EXPECT_EQ(pdf.LastErrorCode(), 52);  // a bad file name
    EXPECT_FALSE(said(form.catalogue.MsgSplitDone));
    EXPECT_NE(form.splitpb.value, 100);
    const auto made = namesIn(in);
    EXPECT_EQ(made.size(), 1u + 99u);
    EXPECT_TRUE(made.count(base + "99.pdf"));
    EXPECT_EQ(pageTexts(in + base + "99.pdf"), Texts{"P 99"});
    EXPECT_TRUE(strayTemporaries(dir.path()).empty());
    EXPECT_EQ(pageCount(in + name), 101);
}

TEST_F(RunNamesPosixTest, MergeOutputPastTheLimitsFailsNamingItAndLeavesNothing) {
    const std::string in = folder("inputs");
    form.mbut_fisier_add(pdfIn("inputs", "a.pdf", 1, "A"));
    form.mbut_fisier_add(pdfIn("inputs", "b.pdf", 1, "B"));

    // A name of 255 bytes is the longest there is, and it works.
    const std::string longest = in + nameOfBytes(255, 'm');
    form.moutput_file.text = longest;
    form.cmd_merge_Click();
    EXPECT_TRUE(said(form.catalogue.MsgMergeDone)) << boxesSaid();
    EXPECT_EQ(pageTexts(longest), (Texts{"A 1", "B 1"}));
    std::filesystem::remove(longest);

    // One byte more, or a path past 4096 bytes: the run names the output it could not
    // write and fails; the engine says why: a bad file name.
    for (const std::string& output :
         {in + nameOfBytes(256, 'm'), pathBeyondPathMax(in, "out.pdf")}) {
        ui.boxes.clear();
        form.moutput_file.text = output;
        form.cmd_merge_Click();
        ASSERT_EQ(ui.boxes.size(), 1u) << boxesSaid();
        EXPECT_EQ(ui.boxes[0].text.rfind(
                      "Merge process failed!\n" + form.catalogue.MsgErrMergeSave + " " + output, 0),
                  0u)
            << boxesSaid();
        EXPECT_FALSE(said(form.catalogue.MsgMergeDone));
        EXPECT_EQ(pdf.LastErrorCode(), 52);
        EXPECT_EQ(namesIn(in), (std::set<std::string>{"a.pdf", "b.pdf"}));
        EXPECT_TRUE(strayTemporaries(dir.path()).empty());
    }
    EXPECT_EQ(pageTexts(in + "a.pdf"), Texts{"A 1"});
}

TEST_F(RunNamesPosixTest, MixOutputNameTooLongFailsNamingIt) {
    const std::string in = folder("long mix");
    const std::string name = nameOfBytes(254, 'x');  // base of 250 bytes
    form.xbut_fisier_add(pdfIn("long mix", name, 2, "A"));
    form.xbut_fisier_add(pdfIn("long mix", "b.pdf", 1, "B"));
    form.r_mix1_method1_e1.text = "1";
    form.cmd_mix_run_Click();
    EXPECT_TRUE(saidFirst(form.catalogue.MsgErrMixSave + " " + in + name.substr(0, 250) + "01.pdf"))
        << boxesSaid();
    EXPECT_EQ(pdf.LastErrorCode(), 52);
    EXPECT_FALSE(said(form.catalogue.MsgMixDone));
    EXPECT_EQ(namesIn(in), (std::set<std::string>{name, "b.pdf"}));
    EXPECT_TRUE(strayTemporaries(dir.path()).empty());
}

TEST_F(RunNamesPosixTest, AnEncryptedInputMergesIntoAnyOutputNameThatFits) {
    const std::string in = folder("secret");
    writeEncryptedPdf(in + "locked.pdf", TestPdfOptions{2, "L"}, Encryption::Aes256, "pw", "own");
    form.mbut_fisier_add(in + "locked.pdf");
    form.mbut_fisier_add(pdfIn("secret", "plain.pdf", 1, "P"));
    form.merge_grid.setTextMatrix(1, 4, "pw");
    const std::string output = in + nameOfBytes(240, 'o');
    form.moutput_file.text = output;
    form.cmd_merge_Click();
    EXPECT_TRUE(said(form.catalogue.MsgMergeDone)) << boxesSaid();
    EXPECT_EQ(pageTexts(output), (Texts{"L 1", "L 2", "P 1"}));
    EXPECT_TRUE(strayTemporaries(dir.path()).empty());
}

}  // namespace
}  // namespace pagemeld::testing
