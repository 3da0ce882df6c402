// The three file lists take every name a user can have, whichever way it arrives
// (the add button's dialog, a drop, the command line's preload), byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "file_names/names_fixture.h"
#include "lists/file_list_grid.h"

namespace pagemeld::testing {
namespace {

class ListNamesTest : public NamesTest {};

TEST_F(ListNamesTest, MergeListKeepsEveryNameAndFolderAsTheyAre) {
    const auto names = nameSamples();
    const auto folders = folderSamples();
    std::vector<std::string> paths;
    std::vector<int> pages;
    for (std::size_t i = 0; i < names.size(); ++i) {
        pages.push_back(1 + static_cast<int>(i % 3));
        paths.push_back(pdfIn(folders[i % folders.size()].name, names[i].name, pages.back(),
                              "S" + std::to_string(i)));
    }
    // A third comes through the dialog, a third is dropped, the rest is added one by one.
    const std::size_t third = paths.size() / 3;
    ui.openAnswers.push_back({paths.begin(), paths.begin() + static_cast<long>(third)});
    form.mbut_add_Click();
    form.merge_grid_OLEDragDrop(
        {paths.begin() + static_cast<long>(third), paths.begin() + static_cast<long>(2 * third)});
    for (std::size_t i = 2 * third; i < paths.size(); ++i) form.mbut_fisier_add(paths[i]);

    EXPECT_TRUE(ui.boxes.empty()) << boxesSaid();
    ASSERT_EQ(form.state.mgrid_count, static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        SCOPED_TRACE(names[i].what + " in " + folders[i % folders.size()].what);
        EXPECT_EQ(form.merge_grid.textMatrix(row, filelist::kColName), names[i].name);
        EXPECT_EQ(form.merge_grid.textMatrix(row, filelist::kColFolder),
                  folder(folders[i % folders.size()].name));
        EXPECT_EQ(form.merge_grid.textMatrix(row, filelist::kColPages), std::to_string(pages[i]));
        EXPECT_EQ(filelist::pathOfRow(form.merge_grid, row), paths[i]);
    }
    // The output goes beside the first file, in its folder as it is spelt.
    EXPECT_EQ(form.moutput_file.text, folder(folders[0].name) + "output.pdf");
}

TEST_F(ListNamesTest, SplitListOffersTheSourceNameLessItsExtension) {
    const auto names = nameSamples();
    const auto folders = folderSamples();
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].what);
        const std::string& name = names[i].name;
        const std::string in = folders[i % folders.size()].name;
        const std::string path = pdfIn(in, name, 2, "S");
        switch (i % 3) {
            case 0:
                form.add_fisier_split(path);
                break;
            case 1:
                form.split_grid_OLEDragDrop({path, folder(in) + "other.pdf"});
                break;
            default:
                ui.openAnswers.push_back({path});
                form.split_add_but_Click();
                break;
        }
        EXPECT_TRUE(ui.boxes.empty()) << boxesSaid();
        EXPECT_EQ(form.split_grid.textMatrix(1, filelist::kColName), name);
        EXPECT_EQ(form.split_grid.textMatrix(1, filelist::kColFolder), folder(in));
        EXPECT_EQ(form.split_grid.textMatrix(1, filelist::kColPages), "2");
        // Every sample ends in ".pdf": the base name is the rest, blanks and all.
        EXPECT_EQ(form.txt_split_filename.text, name.substr(0, name.size() - 4));
        EXPECT_EQ(form.txt_split_dest.text, folder(in));
        form.split_rem_but_Click();
    }
}

TEST_F(ListNamesTest, MixListNamesItsOutputsAfterTheFirstDocument) {
    const auto names = nameSamples();
    const auto folders = folderSamples();
    for (std::size_t i = 0; i + 1 < names.size(); i += 2) {
        SCOPED_TRACE(names[i].what + " and " + names[i + 1].what);
        const std::string in = folders[i % folders.size()].name;
        const std::string first = pdfIn(in, names[i].name, 1, "A");
        const std::string second =
            pdfIn(folders[(i + 1) % folders.size()].name, names[i + 1].name, 3, "B");
        if (i % 4 == 0) {
            form.mix_grid_OLEDragDrop({first, second});
        } else {
            ui.openAnswers.push_back({first, second});
            form.x_but_add_Click();
        }
        EXPECT_TRUE(ui.boxes.empty()) << boxesSaid();
        ASSERT_EQ(form.state.xgrid_count, 2);
        EXPECT_EQ(filelist::pathOfRow(form.mix_grid, 1), first);
        EXPECT_EQ(filelist::pathOfRow(form.mix_grid, 2), second);
        EXPECT_EQ(form.mix_grid.textMatrix(2, filelist::kColPages), "3");
        EXPECT_EQ(form.txt_mix_dest.text, folder(in));
        EXPECT_EQ(form.txt_mix_filename.text, names[i].name.substr(0, names[i].name.size() - 4));
        form.x_but_rem_Click();
        form.x_but_rem_Click();
        ASSERT_EQ(form.state.xgrid_count, 0);
    }
}

TEST_F(ListNamesTest, BaseNamesLoseWholeCharactersNotBytes) {
    // Names ending in "pdf" without a dot lose their last four characters; cutting
    // four bytes instead would leave half a character and name the outputs with bytes
    // the user never typed.
    struct Case {
        std::string name;
        std::string base;
    };
    const std::vector<Case> cases = {
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"
         "pdf",
         "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"\xC3\xA9t\xC3\xA9pdf", "\xC3\xA9t"},
        {"a\xF0\x9F\x98\x80pdf", "a"},
        {"\xE6\x96\x87pdf", ""},
        {"plain.pdf", "plain"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = pdfIn("no dot", c.name, 1, "A");
        form.add_fisier_split(path);
        EXPECT_EQ(form.txt_split_filename.text, c.base);
        EXPECT_TRUE(isValidUtf8(form.txt_split_filename.text));
        form.xbut_fisier_add(path);
        EXPECT_EQ(form.txt_mix_filename.text, c.base);
        form.x_but_rem_Click();
    }
    EXPECT_TRUE(ui.boxes.empty()) << boxesSaid();
}

// A name's limit counted in bytes, under a folder of any length: a POSIX file system's.
class ListNamesPosixTest : public ListNamesTest {};

TEST_F(ListNamesPosixTest, NamesAtAndBeyondTheLimitsAreListedAndTheUserIsTold) {
    const std::string in = folder("limits");
    // The longest name a folder takes works like any other.
    const std::string longest = nameOfBytes(255);
    writeTestPdf(in + longest, 2, "L");
    form.mbut_fisier_add(in + longest);
    EXPECT_TRUE(ui.boxes.empty()) << boxesSaid();
    EXPECT_EQ(form.merge_grid.textMatrix(1, filelist::kColName), longest);
    EXPECT_EQ(form.merge_grid.textMatrix(1, filelist::kColPages), "2");

    // One byte more cannot exist, and a path past 4096 bytes cannot be opened: each is
    // listed with one page and the user is told it could not be opened. Nothing is
    // made on the way.
    writeTestPdf(in + "there.pdf", 3, "T");
    const std::string tooLongName = in + nameOfBytes(256);
    const std::string tooLongPath = pathBeyondPathMax(in, "there.pdf");
    for (const std::string& path : {tooLongName, tooLongPath}) {
        ui.boxes.clear();
        form.mbut_fisier_add(path);
        ASSERT_EQ(ui.boxes.size(), 1u) << boxesSaid();
        EXPECT_EQ(ui.boxes[0].text.rfind(form.catalogue.MsgErrPageNo, 0), 0u) << boxesSaid();
        EXPECT_EQ(form.merge_grid.textMatrix(form.state.mgrid_count, filelist::kColPages), "1");
        EXPECT_EQ(filelist::pathOfRow(form.merge_grid, form.state.mgrid_count), path);
    }
    EXPECT_EQ(namesIn(in), (std::set<std::string>{longest, "there.pdf"}));
}

TEST_F(ListNamesPosixTest, AnUnreachableNameIsReportedAsABadNameNotAsAMissingFile) {
    const std::string in = folder("limits");
    writeTestPdf(in + "there.pdf", 3, "T");
    for (const std::string& path : {in + nameOfBytes(256), pathBeyondPathMax(in, "there.pdf")}) {
        ui.boxes.clear();
        form.mbut_fisier_add(path);
        EXPECT_TRUE(shown(form.catalogue.MsgErrPageNo + " 52\n" + path)) << boxesSaid();
    }
}

}  // namespace
}  // namespace pagemeld::testing
