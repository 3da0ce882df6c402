// The three runs and the lists' buttons through the real window: files chosen in
// the (scripted) dialogs, options clicked, numbers typed, the run button clicked,
// and the files on disk read back.
#include <QRadioButton>
#include <map>

#include "window_harness.h"

namespace pagemeld::testing {
namespace {

using Texts = std::vector<std::string>;
using Pieces = std::map<std::string, Texts>;

class WindowRunsTest : public WindowHarness {
protected:
    // Page texts of every file in the test folder whose name starts with `base`.
    Pieces outputs(const std::string& base) const {
        Pieces found;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(base, 0) == 0) found[name] = pageTexts(entry.path().string());
        }
        return found;
    }

    void splitWith(const std::string& option, const std::string& base,
                   const std::map<std::string, std::string>& fields) {
        choose(option);
        for (const auto& [box, text] : fields) type(box, text);
        type("txt_split_filename", base);
        ui.boxes.clear();
        click("cmd_split_run");
    }
};

TEST_F(WindowRunsTest, SplitsWithEachOfTheFourMethods) {
    writeTestPdf(file("ten.pdf"), 10, "P");
    start();
    ui.openAnswers.push_back({file("ten.pdf")});
    click("split_add_but");
    ASSERT_EQ(column("split_grid", 1), Texts{"ten.pdf"});

    splitWith("r_split_method1", "piece", {{"txt_split_meth1", "3"}});
    EXPECT_EQ(ui.boxTexts(), Texts{"Split process done!"});
    EXPECT_EQ(outputs("piece"), (Pieces{{"piece01.pdf", labels("P", 1, 3)},
                                        {"piece02.pdf", labels("P", 4, 6)},
                                        {"piece03.pdf", labels("P", 7, 9)},
                                        {"piece04.pdf", {"P 10"}}}));

    splitWith("r_split_method3", "group", {{"txt_split_meth3", "3"}, {"txt_split_meth3_s", "4"}});
    EXPECT_EQ(ui.boxTexts(), Texts{"Split process done!"});
    EXPECT_EQ(outputs("group"), (Pieces{{"group01.pdf", labels("P", 4, 6)},
                                        {"group02.pdf", labels("P", 7, 9)},
                                        {"group03.pdf", {"P 10"}}}));

    splitWith("r_split_method4", "every", {{"txt_split_meth4", "2"}, {"txt_split_meth4_s", "1"}});
    EXPECT_EQ(ui.boxTexts(), Texts{"Split process done!"});
    EXPECT_EQ(outputs("every"), (Pieces{{"every01.pdf", {"P 1"}},
                                        {"every02.pdf", {"P 3"}},
                                        {"every03.pdf", {"P 5"}},
                                        {"every04.pdf", {"P 7"}},
                                        {"every05.pdf", {"P 9"}}}));

    // Page 12 is past the end: its piece stays empty and the user is told.
    splitWith("r_split_method2", "range", {{"txt_split_range", "1-4,6;5,6;12;"}});
    EXPECT_EQ(ui.boxTexts(), Texts{"Split process done! Pages with pagenumber above  10  were "
                                   "ignored because it exceeds document total page number!"});
    EXPECT_EQ(outputs("range"), (Pieces{{"range01.pdf", {"P 1", "P 2", "P 3", "P 4", "P 6"}},
                                        {"range02.pdf", {"P 5", "P 6"}}}));

    // Running again over the pieces asks once, No first; No writes nothing.
    splitWith("r_split_method1", "piece", {{"txt_split_meth1", "5"}});
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Files of the same names already exist in the destination folder "
              "and would be replaced: 2\n" +
                  form.txt_split_dest.text + "\n\nReplace them?");
    EXPECT_EQ(ui.boxes[0].style, msgbox::kYesNo + msgbox::kQuestion + msgbox::kDefaultButton2);
    EXPECT_EQ(outputs("piece").at("piece01.pdf"), labels("P", 1, 3));
    EXPECT_EQ(form.splitpb.value, 0);
    ui.boxAnswers.push_back(msgbox::kAnswerYes);
    splitWith("r_split_method1", "piece", {{"txt_split_meth1", "5"}});
    EXPECT_EQ(ui.boxTexts().back(), "Split process done!");
    EXPECT_EQ(outputs("piece"), (Pieces{{"piece01.pdf", labels("P", 1, 5)},
                                        {"piece02.pdf", labels("P", 6, 10)},
                                        {"piece03.pdf", labels("P", 7, 9)},
                                        {"piece04.pdf", {"P 10"}}}));

    // The remove button empties the source row.
    click("split_rem_but");
    EXPECT_EQ(column("split_grid", 1), Texts{""});
    EXPECT_EQ(form.split_grid.textMatrix(1, 2), "");
}

TEST_F(WindowRunsTest, MergesThreeFilesOneOfThemEncryptedWithThePasswordTypedIn) {
    writeTestPdf(file("a.pdf"), 2, "A");
    writeEncryptedPdf(file("b.pdf"), {1, "B"}, Encryption::Aes256, "pw b", "owner");
    writeTestPdf(file("c.pdf"), 1, "C");
    start();
    clickTab(2);
    ui.openAnswers.push_back({file("a.pdf"), file("b.pdf"), file("c.pdf")});
    click("mbut_add");
    ASSERT_EQ(column("merge_grid", 1), (Texts{"a.pdf", "b.pdf", "c.pdf", "", "", ""}));

    ui.inputAnswers.push_back("pw b");
    click("mbut_key_2");
    EXPECT_EQ(form.merge_grid.textMatrix(2, 4), "pw b");
    type("moutput_file", file("all.pdf"));
    click("cmd_merge");

    EXPECT_EQ(ui.boxTexts(), Texts{"Merge process done!"});
    EXPECT_EQ(pageTexts(file("all.pdf")), (Texts{"A 1", "A 2", "B 1", "C 1"}));
    EXPECT_TRUE(qpdfCheckClean(file("all.pdf")));

    // A wrong password leaves the file out: one box says which and where the others went.
    ui.inputAnswers.push_back("wrong");
    click("mbut_key_2");
    choose("chk_merge_ovr");
    ui.boxes.clear();
    click("cmd_merge");
    EXPECT_EQ(ui.boxTexts(), Texts{"Merge process failed!\nPassword for b.pdf  is incorect. PDF "
                                   "will be skipped.\nThe other files were merged into: " +
                                   file("all.pdf")});
    EXPECT_EQ(pageTexts(file("all.pdf")), (Texts{"A 1", "A 2", "C 1"}));
}

TEST_F(WindowRunsTest, MixesTwoDocuments) {
    writeTestPdf(file("base.pdf"), 6, "A");
    writeTestPdf(file("sheet.pdf"), 1, "B");
    start();
    clickTab(3);
    ui.openAnswers.push_back({file("base.pdf"), file("sheet.pdf")});
    click("x_but_add");
    ASSERT_EQ(column("mix_grid", 1), (Texts{"base.pdf", "sheet.pdf"}));
    type("r_mix1_method1_e1", "2");
    choose("r_mix2_method2");
    type("r_mix2_method2_e1", "1");
    click("cmd_mix_run");

    EXPECT_EQ(ui.boxTexts(), Texts{"Mix process done!"});
    EXPECT_EQ(outputs("base0"), (Pieces{{"base01.pdf", {"A 1", "A 2", "B 1"}},
                                        {"base02.pdf", {"A 3", "A 4", "B 1"}},
                                        {"base03.pdf", {"A 5", "A 6", "B 1"}}}));

    // "Each" takes its start page from its own row. The run over the earlier files
    // asks first: No keeps them, Yes replaces them.
    choose("r_mix1_method2");
    type("r_mix1_method2_e1", "2");
    type("r_mix1_method2_e2", "2");
    ui.boxes.clear();
    click("cmd_mix_run");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("Files of the same names already exist in the destination "
                                     "folder and would be replaced: 3\n",
                                     0),
              0u);
    EXPECT_EQ(outputs("base0").at("base01.pdf"), (Texts{"A 1", "A 2", "B 1"}));
    ui.boxAnswers.push_back(msgbox::kAnswerYes);
    click("cmd_mix_run");
    EXPECT_EQ(ui.boxTexts().back(), "Mix process done!");
    EXPECT_EQ(outputs("base0"), (Pieces{{"base01.pdf", {"A 2", "B 1"}},
                                        {"base02.pdf", {"A 4", "B 1"}},
                                        {"base03.pdf", {"A 6", "B 1"}}}));
}

TEST_F(WindowRunsTest, TheListButtonsSortMoveAndRemove) {
    for (const char* name : {"c.pdf", "a.pdf", "b.pdf"}) writeTestPdf(file(name), 1, name);
    start();

    clickTab(2);
    drop("merge_grid", {file("c.pdf"), file("a.pdf"), file("b.pdf")});
    clickCell("merge_grid", 0, 1);  // the "File name" header sorts
    EXPECT_EQ(column("merge_grid", 1), (Texts{"a.pdf", "b.pdf", "c.pdf", "", "", ""}));
    clickCell("merge_grid", 1, 1);
    click("mbut_down");
    EXPECT_EQ(column("merge_grid", 1), (Texts{"b.pdf", "a.pdf", "c.pdf", "", "", ""}));
    click("mbut_up");
    click("mbut_up");  // already first: nothing moves
    EXPECT_EQ(column("merge_grid", 1), (Texts{"a.pdf", "b.pdf", "c.pdf", "", "", ""}));
    click("mbut_rem");
    EXPECT_EQ(column("merge_grid", 1), (Texts{"b.pdf", "c.pdf", "", "", "", ""}));
    EXPECT_EQ(form.state.mgrid_count, 2);

    clickTab(3);
    drop("mix_grid", {file("c.pdf"), file("a.pdf")});
    click("x_but_up");  // two documents: they change places
    EXPECT_EQ(column("mix_grid", 1), (Texts{"a.pdf", "c.pdf"}));
    click("x_but_down");
    EXPECT_EQ(column("mix_grid", 1), (Texts{"c.pdf", "a.pdf"}));
    click("x_but_rem");
    click("x_but_rem");
    EXPECT_EQ(column("mix_grid", 1), (Texts{"", ""}));
    EXPECT_EQ(form.state.xgrid_count, 0);
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxTexts().front();
}

}  // namespace
}  // namespace pagemeld::testing
