// The merge run through the window model on generated PDFs: refusals, every input's
// fate (passwords, owner-only, a file that fails halfway), nothing but the output, and the
// output written only when complete.
#include <functional>

#include "base/runtime_error.h"
#include "support/form_harness.h"
#include "support/hooked_engine.h"

namespace pagemeld::testing {
namespace {

class MergeRunTest : public ::testing::Test, protected FormHarness<HookedEngine> {
protected:
    MergeRunTest() { form.Form_Load(""); }

    void add(const std::string& path, const std::string& password = {}) {
        form.mbut_fisier_add(path);
        form.merge_grid.setTextMatrix(form.state.mgrid_count, 4, password);
    }
    void run(const std::string& output) {
        form.moutput_file.text = output;
        ui.boxes.clear();
        form.cmd_merge_Click();
    }
    std::string encrypted(const std::string& name, const std::string& label,
                          const std::string& user) {
        writeEncryptedPdf(work(name), {2, label}, Encryption::Aes256, user, "owner");
        return work(name);
    }
};

TEST_F(MergeRunTest, RefusalsAndFailuresLeaveAnExistingOutputAsItWas) {
    const std::string out = pdfFile("out.pdf", 1, "OLD");
    add(pdfFile("a.pdf", 1, "A"));
    form.chk_merge_ovr.value = kChecked;
    run(out);
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgErrAdd2files});

    // A file that is no PDF by its name is not listed.
    std::ofstream(work("notes.txt")) << "text";
    add(work("notes.txt"));
    EXPECT_TRUE(shown(form.catalogue.MsgErrMergeOnlyPDF1 + " " + work("notes.txt")));
    EXPECT_EQ(form.state.mgrid_count, 1);

    add(pdfFile("b.pdf", 1, "B"));
    form.chk_merge_ovr.value = kUnchecked;
    run(out);
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgOutputFileExists});
    EXPECT_EQ(pageTexts(out), Texts{"OLD 1"});

    form.chk_merge_ovr.value = kChecked;
    run(out);
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgMergeDone});
    EXPECT_EQ(pageTexts(out), (Texts{"A 1", "B 1"}));

    // With no output name the output is at fault, not the files of the list.
    run("");
    EXPECT_TRUE(shown(form.catalogue.MsgErrMergeSave));
    EXPECT_FALSE(shown(form.catalogue.MsgErrMerge));

    // A merge that yields nothing leaves the output it was to replace as it was.
    while (form.state.mgrid_count > 0) form.mbut_rem_Click();
    for (const char* bad : {"bad1.pdf", "bad2.pdf"}) {
        writeNotPdf(work(bad));
        add(work(bad));
    }
    run(out);
    EXPECT_FALSE(shown(form.catalogue.MsgMergeDone));
    EXPECT_EQ(pageTexts(out), (Texts{"A 1", "B 1"}));
}

TEST_F(MergeRunTest, EveryInputIsMergedOrLeftOutWithItsReason) {
    add(pdfFile("a.pdf", 1, "A"));
    add(encrypted("b.pdf", "B", "pw"), "  pw ");  // blanks around the password
    add(encrypted("c.pdf", "C", "pw"), "wrong");
    writeNotPdf(work("bad.pdf"));
    add(work("bad.pdf"));  // fails halfway, after files skipped before it
    add(encrypted("d.pdf", "D", "pw"));
    add(encrypted("e.pdf", "E", ""));  // owner password only
    add(pdfFile("f.pdf", 1, "F"));
    // A file of the user's where a decrypted copy of the second input once went.
    const std::string theirs = pdfFile("out.pdf2", 1, "MINE");

    run(work("out.pdf"));
    const Catalogue& t = form.catalogue;
    ASSERT_EQ(ui.boxes.size(), 1u);
    for (const std::string& reason :
         {"Password for c.pdf " + t.MsgErrDecryptWrPassw, "Error loading file " + work("bad.pdf"),
          "bad.pdf " + t.MsgErrMerge, "d.pdf " + t.MsgErrDecryptAddPassw,
          t.MsgMergeWrittenTo + " " + work("out.pdf")})
        EXPECT_TRUE(shown(reason)) << reason << "\n" << ui.boxes[0].text;
    EXPECT_FALSE(shown("c.pdf " + t.MsgErrMerge)) << ui.boxes[0].text;
    EXPECT_EQ(pageTexts(work("out.pdf")), (Texts{"A 1", "B 1", "B 2", "E 1", "E 2", "F 1"}));
    // Nothing but the output is written, and the user's file is untouched.
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "bad.pdf", "c.pdf", "d.pdf", "e.pdf", "f.pdf",
                                    "out.pdf", "out.pdf2"}));
    EXPECT_EQ(pageTexts(theirs), Texts{"MINE 1"});
}

// An error while the second file is opened, after the first one's pages were written:
// error 20 tells the procedure to return at once, error 91 ends the program, which no
// part of the merge may hold up. Either way no output is left.
TEST_F(MergeRunTest, ARunLeftByAnErrorLeavesNothingBehind) {
    add(encrypted("a.pdf", "A", "pa"), "pa");
    add(pdfFile("b.pdf", 1, "B"));
    for (const std::int32_t code : {20, 91}) {
        SCOPED_TRACE(code);
        int checked = 0;
        pdf.onOpen = [&] {
            if (++checked == 2) throw RuntimeError(code, "Checked file failed");
        };
        const bool ends = code == 91;
        if (ends)
            EXPECT_THROW(run(work("out.pdf")), ExitRequested);
        else
            run(work("out.pdf"));
        EXPECT_EQ(ui.quitCalls, ends ? 1 : 0);
        // Told where it happened, or not at all when the program ends without a box.
        EXPECT_EQ(ui.boxes.size(), ends ? 0u : 1u);
        EXPECT_EQ(shown("cmd_merge_Click"), !ends);
        EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf"}));
    }
}

}  // namespace
}  // namespace pagemeld::testing
