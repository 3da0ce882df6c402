// The split run: the four methods' output files and their pages, naming, document
// information, range handling, passwords and the decrypted copy, refusals, failures
// that must not be reported as success, and progress.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "base/runtime_error.h"
#include "split_fixture.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const std::string kDone = "Split process done!";

std::string above(int pages) {
    return "Split process done! Pages with pagenumber above  " + std::to_string(pages) +
           "  were ignored because it exceeds document total page number!";
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SplitRunTest : public SplitTest {
protected:
    // Loads a source of `pages` pages labelled "P" and leaves the outputs beside it.
    std::string source(int pages, const std::string& name = "src.pdf") {
        const std::string path = pdfFile(name, pages);
        form.add_fisier_split(path);
        form.txt_split_filename.text = "part";
        return path;
    }
    void method1(const std::string& n) {
        form.r_split_method1_Click();
        form.txt_split_meth1.text = n;
    }
    void method2(const std::string& ranges) {
        form.r_split_method2_Click();
        form.txt_split_range.text = ranges;
    }
    void method3(const std::string& n, const std::string& s) {
        choose(form.r_split_method3);
        form.txt_split_meth3.text = n;
        form.txt_split_meth3_s.text = s;
    }
    void method4(const std::string& n, const std::string& s) {
        choose(form.r_split_method4);
        form.txt_split_meth4.text = n;
        form.txt_split_meth4_s.text = s;
    }
    // Methods 3 and 4 have no handler; the view only sets the options' values.
    void choose(OptionButton& option) {
        for (OptionButton* o : {&form.r_split_method1, &form.r_split_method2, &form.r_split_method3,
                                &form.r_split_method4})
            o->value = o == &option;
    }
    void run() {
        ui.boxes.clear();
        form.cmd_split_run_Click();
    }
    // The page texts of every numbered output "part01.pdf", ... in the work folder.
    std::map<std::string, Texts> outputs(const std::string& base = "part") const {
        std::map<std::string, Texts> found;
        for (const std::string& name : workListing()) {
            if (name.rfind(base, 0) == 0) found[name] = pageTexts(work(name));
        }
        return found;
    }
};

TEST_F(SplitRunTest, FixedPiecesFromPageOneCarryTheProgramsInformation) {
    source(10);
    method1("3");
    run();

    const std::map<std::string, Texts> expected = {
        {"part01.pdf", labels("P", 1, 3)},
        {"part02.pdf", labels("P", 4, 6)},
        {"part03.pdf", labels("P", 7, 9)},
        {"part04.pdf", labels("P", 10, 10)},
    };
    EXPECT_EQ(outputs(), expected);
    for (const auto& [name, texts] : expected) {
        EXPECT_TRUE(qpdfCheckClean(work(name))) << name;
        const std::map<std::string, std::string> info = {{"Author", "Ombrix Pagemeld"},
                                                         {"Title", "Output file"},
                                                         {"Creator", "Ombrix Pagemeld Driver"},
                                                         {"Producer", "Ombrix Pagemeld"}};
        EXPECT_EQ(infoEntries(work(name)), info) << name;
    }
    EXPECT_EQ(ui.boxTexts(), Texts{kDone});
    EXPECT_EQ(ui.boxes[0].style, msgbox::kInformation);
    // Nothing of the run stays in the engine.
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(SplitRunTest, APieceAfterAnEmptyOneIsStillCutFromTheSource) {
    source(10);
    method2("11-12;1");
    run();
    EXPECT_EQ(outputs(), (std::map<std::string, Texts>{{"part02.pdf", {"P 1"}}}));
    EXPECT_EQ(ui.boxTexts(), Texts{above(10)});

    // Empty pieces and pieces that name no page leave gaps too.
    fs::remove(work("part02.pdf"));
    method2(";x;4;");
    run();
    EXPECT_EQ(outputs(), (std::map<std::string, Texts>{{"part03.pdf", {"P 4"}}}));
    EXPECT_EQ(ui.boxTexts(), Texts{kDone});
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(SplitRunTest, TheChecksStopTheRunBeforeAnythingIsOpened) {
    method1("1");
    run();  // no source
    EXPECT_EQ(ui.boxTexts(), Texts{"Choose a PDF file to split it!"});
    EXPECT_EQ(ui.boxes[0].style, msgbox::kExclamation);

    source(3);
    form.txt_split_filename.text = "a:b";
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{"Output filename contains invalid characters!"});
    EXPECT_EQ(ui.boxes[0].style, msgbox::kExclamation);

    form.txt_split_filename.text = "part";
    form.txt_split_dest.text = "";
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{"Please select a destination folder!"});
    EXPECT_EQ(ui.boxes[0].style, msgbox::kCritical);

    // Only the listing loaded the file; no run did.
    EXPECT_EQ(pdf.loads.size(), 1u);
    EXPECT_EQ(workListing(), Texts{"src.pdf"});
    EXPECT_EQ(form.splitpb.colour, kDefaultBarColour);
    EXPECT_FALSE(form.tsplit_pb.enabled);
}

TEST_F(SplitRunTest, EncryptedSourcesWithRightWrongAndNoPassword) {
    const std::string locked = work("locked.pdf");
    writeEncryptedPdf(locked, TestPdfOptions{3, "L"}, Encryption::Aes256, "user", "owner");
    // A file of the user's with the name the copy once had.
    std::ofstream(work("tmp.pdf"), std::ios::binary) << "mine";
    form.add_fisier_split(locked);
    form.txt_split_filename.text = "part";
    method1("2");
    ui.boxes.clear();

    run();  // no password
    EXPECT_EQ(
        ui.boxTexts(),
        Texts{"locked.pdf  cannot be decrypted. Please add a password. PDF will be skipped."});
    EXPECT_EQ(ui.boxes[0].style, msgbox::kExclamation);
    EXPECT_EQ(form.splitpb.value, 0);
    EXPECT_FALSE(form.tsplit_pb.enabled);

    form.split_grid.setTextMatrix(1, 4, "wrong");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{"Password for locked.pdf  is incorect. PDF will be skipped."});
    EXPECT_EQ(workListing(), (Texts{"locked.pdf", "tmp.pdf"}));
    EXPECT_EQ(pdf.documentCount(), 0u);

    form.split_grid.setTextMatrix(1, 4, "user");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{kDone});
    EXPECT_EQ(outputs(), (std::map<std::string, Texts>{{"part01.pdf", {"L 1", "L 2"}},
                                                       {"part02.pdf", {"L 3"}}}));
    EXPECT_FALSE(isEncrypted(work("part01.pdf")));
    // The copy had a name of its own beside the outputs and is gone; the user's file
    // is untouched.
    ASSERT_EQ(pdf.decryptedTo.size(), 1u);
    EXPECT_EQ(fs::path(pdf.decryptedTo[0]).parent_path(), fs::path(work("")).parent_path());
    EXPECT_NE(fs::path(pdf.decryptedTo[0]).filename(), "tmp.pdf");
    EXPECT_EQ(workListing(), (Texts{"locked.pdf", "part01.pdf", "part02.pdf", "tmp.pdf"}));
    EXPECT_EQ(contentOf(work("tmp.pdf")), "mine");
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(SplitRunTest, ARunLeftByAnErrorOrWithoutRoomForTheCopyLeavesNothingBehind) {
    const std::string locked = work("locked.pdf");
    writeEncryptedPdf(locked, TestPdfOptions{3, "L"}, Encryption::Aes256, "user", "owner");
    form.add_fisier_split(locked);
    form.split_grid.setTextMatrix(1, 4, "user");
    form.txt_split_filename.text = "part";
    method1("1");
    // Error 20 tells the procedure to return at once.
    pdf.beforeSave = [] { throw RuntimeError(20, "Resume without error"); };
    run();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Attention!");
    EXPECT_NE(ui.boxes[0].text.find("cmd_split_run_Click"), std::string::npos);
    EXPECT_EQ(pdf.decryptedTo.size(), 1u);
    EXPECT_EQ(workListing(), Texts{"locked.pdf"});
    EXPECT_EQ(pdf.documentCount(), 0u);

    // A destination that does not exist cannot take the decrypted copy.
    pdf.beforeSave = nullptr;
    form.txt_split_dest.text = work("missing") + kSep;
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{"locked.pdf  cannot be decrypted. PDF will be skiped."});
    EXPECT_EQ(workListing(), Texts{"locked.pdf"});
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(SplitRunTest, AnOwnerPasswordOnlySourceSplitsWithoutAPassword) {
    const std::string owned = work("owned.pdf");
    writeEncryptedPdf(owned, TestPdfOptions{2, "O"}, Encryption::Aes128, "", "owner");
    form.add_fisier_split(owned);
    form.txt_split_filename.text = "part";
    method1("1");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{kDone});
    EXPECT_EQ(outputs(),
              (std::map<std::string, Texts>{{"part01.pdf", {"O 1"}}, {"part02.pdf", {"O 2"}}}));
    EXPECT_TRUE(pdf.decryptedTo.empty());
}

TEST_F(SplitRunTest, APieceThatCannotBeWrittenEndsTheRunNamingIt) {
    source(6);
    method1("2");
    pdf.failSaves = {work("part02.pdf")};
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{"This output file could not be written. The split process was "
                                   "stopped: " +
                                   work("part02.pdf")});
    EXPECT_EQ(ui.boxes[0].style, msgbox::kCritical);
    // The pieces before it are whole; none after it is tried.
    EXPECT_EQ(outputs(), (std::map<std::string, Texts>{{"part01.pdf", labels("P", 1, 2)}}));
    EXPECT_EQ(pdf.saves, (Texts{work("part01.pdf"), work("part02.pdf")}));
    EXPECT_EQ(form.splitpb.value, 0);
    EXPECT_FALSE(form.tsplit_pb.enabled);
    EXPECT_EQ(pdf.documentCount(), 0u);

    // The same for a range piece, and for a destination folder that does not exist.
    pdf.failSaves.clear();
    fs::remove(work("part01.pdf"));
    const std::string missing = work("missing") + kSep;
    form.txt_split_dest.text = missing;
    method2("9;1;2");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{"This output file could not be written. The split process was "
                                   "stopped: " +
                                   missing + "part02.pdf\r\nThe folder does not exist."});
    EXPECT_FALSE(fs::exists(work("missing")));
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(SplitRunTest, ASourceGoneSinceItWasListedIsToldNotSplit) {
    const std::string path = source(3);
    fs::remove(path);
    method1("1");
    run();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("This PDF file could not be opened. Error code: ", 0), 0u)
        << ui.boxes[0].text;
    EXPECT_EQ(ui.boxes[0].style, msgbox::kCritical);
    EXPECT_TRUE(workListing().empty());
}

TEST_F(SplitRunTest, DocumentsBeyondSixteenBitPageNumbers) {
    const std::string path = work("big.pdf");
    writeTestPdf(path, TestPdfOptions{40000, "B", false, 1});
    form.add_fisier_split(path);
    EXPECT_EQ(cell(3), "40000");
    form.txt_split_filename.text = "part";

    method4("20000", "32767");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{kDone});
    EXPECT_EQ(outputs(), (std::map<std::string, Texts>{{"part01.pdf", {"B 32767"}}}));
    EXPECT_EQ(form.state.split_max_page, 40000);

    fs::remove(work("part01.pdf"));
    method2("32768-32769,40000;40001;39999");
    run();
    EXPECT_EQ(outputs(),
              (std::map<std::string, Texts>{{"part01.pdf", {"B 32768", "B 32769", "B 40000"}},
                                            {"part03.pdf", {"B 39999"}}}));
    EXPECT_EQ(ui.boxTexts(), Texts{above(40000)});
}

TEST_F(SplitRunTest, NoPieceMayReplaceTheSource) {
    const std::string path = source(4, "part03.pdf");
    const std::string before = contentOf(path);
    method1("1");
    run();
    EXPECT_EQ(ui.boxTexts(),
              Texts{"This output file would replace the PDF being split. Please choose another "
                    "base filename or destination folder: " +
                    work("part03.pdf")});
    EXPECT_EQ(ui.boxes[0].style, msgbox::kExclamation);
    // Refused before the first piece was written.
    EXPECT_EQ(workListing(), Texts{"part03.pdf"});
    EXPECT_EQ(contentOf(path), before);
    EXPECT_EQ(pdf.documentCount(), 0u);

    // Fewer pieces than the source's number: nothing is in the way.
    method2("1-2;3-4");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{kDone});
    EXPECT_EQ(contentOf(path), before);
    EXPECT_EQ(pageTexts(work("part02.pdf")), labels("P", 3, 4));
}

}  // namespace
}  // namespace pagemeld::testing
