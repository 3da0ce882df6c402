// Form fields after merging and splitting: values kept, copies independent.
#include <gtest/gtest.h>

#include <qpdf/QPDFAcroFormDocumentHelper.hh>

#include <map>
#include <set>

#include "keep_fixture.h"

namespace pagemeld {
namespace {

using testing::readFieldPages;
using testing::readFormFields;
using Fields = std::map<std::string, std::string>;
using FieldPages = std::map<std::string, std::vector<std::string>>;

class KeepFormTest : public KeepTest {
protected:
    std::string writeForm(const std::string& file, const std::string& label,
                          const std::string& text) {
        testing::RichPdfOptions options;
        options.base.pages = 3;
        options.base.label = label;
        options.formText = text;
        const std::string path = dir.file(file);
        testing::writeRichPdf(path, options);
        return path;
    }
};

TEST_F(KeepFormTest, MergedFormsKeepValuesAndStayApart) {
    const std::string f = writeForm("f.pdf", "F", "Ann");
    const std::string g = writeForm("g.pdf", "G", "Bob");
    engine.ClearFileList("");
    engine.AddToFileList("", f);
    engine.AddToFileList("", g);
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.MergeFileList("", out), 2);
    expectClean(out);
    // The second form's fields have names of their own, so filling one leaves the other.
    EXPECT_EQ(readFormFields(out), (Fields{{"person.name", "Ann"},
                                           {"agree", "/Yes"},
                                           {"choice", "/Two"},
                                           {"person_2.name", "Bob"},
                                           {"agree_2", "/Yes"},
                                           {"choice_2", "/Two"}}));
    EXPECT_EQ(readFieldPages(out), (FieldPages{{"person.name", {"F 1"}},
                                               {"agree", {"F 2"}},
                                               {"choice", {"F 1", "F 3"}},
                                               {"person_2.name", {"G 1"}},
                                               {"agree_2", {"G 2"}},
                                               {"choice_2", {"G 1", "G 3"}}}));
    QPDF pdf;
    pdf.processFile(out.c_str());
    auto form = pdf.getRoot().getKey("/AcroForm");
    EXPECT_EQ(form.getKey("/Fields").getArrayNItems(), 6);
    EXPECT_EQ(form.getKey("/DA").getUTF8Value(), "/Helv 0 Tf 0 g");
    // Changing a copy's value does not reach the other: no field object is shared (each
    // form has four: the text field, the check box and the radio group's two widgets).
    QPDFAcroFormDocumentHelper helper(pdf);
    std::set<QPDFObjGen> objects;
    for (auto& field : helper.getFormFields()) objects.insert(field.getObjectHandle().getObjGen());
    EXPECT_EQ(objects.size(), 8u);
}

TEST_F(KeepFormTest, SameFormTwiceByDocumentsStaysApart) {
    const std::string f = writeForm("f.pdf", "F", "Ann");
    const std::int32_t first = engine.LoadFromFile(f);
    const std::int32_t second = engine.LoadFromFile(f);
    engine.SelectDocument(first);
    ASSERT_EQ(engine.MergeDocument(second), 1);
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(readFormFields(out), (Fields{{"person.name", "Ann"},
                                           {"agree", "/Yes"},
                                           {"choice", "/Two"},
                                           {"person_2.name", "Ann"},
                                           {"agree_2", "/Yes"},
                                           {"choice_2", "/Two"}}));
    EXPECT_EQ(testing::pageTexts(out),
              (std::vector<std::string>{"F 1", "F 2", "F 3", "F 1", "F 2", "F 3"}));
    auto pages = readFieldPages(out);
    EXPECT_EQ(pages["choice"].size(), 2u);
    EXPECT_EQ(pages["choice_2"].size(), 2u);

    // Two extracts of one loaded document are one form: no renaming.
    engine.SelectDocument(first);
    const std::int32_t head = engine.ExtractPages(1, 1);
    engine.SelectDocument(first);
    ASSERT_NE(engine.ExtractPages(3, 1), 0);
    ASSERT_EQ(engine.MergeDocument(head), 1);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(readFormFields(out), (Fields{{"person.name", "Ann"}, {"choice", "/Two"}}));
    EXPECT_EQ(readFieldPages(out),
              (FieldPages{{"person.name", {"F 1"}}, {"choice", {"F 3", "F 1"}}}));
}

TEST_F(KeepFormTest, PieceKeepsTheFieldsOnItsPages) {
    engine.LoadFromFile(writeForm("f.pdf", "F", "Ann"));
    const std::int32_t whole = engine.SelectedDocument();
    const std::string out = dir.file("piece.pdf");
    ASSERT_NE(engine.ExtractPages(2, 1), 0);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(readFormFields(out), (Fields{{"agree", "/Yes"}}));

    engine.SelectDocument(whole);
    ASSERT_NE(engine.ExtractPages(3, 1), 0);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(readFieldPages(out), (FieldPages{{"choice", {"F 3"}}}));
    EXPECT_EQ(readFormFields(out), (Fields{{"choice", "/Two"}}));
    // The radio button on page 1 is not carried along without its page.
    {
        QPDF pdf;
        pdf.processFile(out.c_str());
        auto fields = pdf.getRoot().getKey("/AcroForm").getKey("/Fields");
        ASSERT_EQ(fields.getArrayNItems(), 1);
        auto kids = fields.getArrayItem(0).getKey("/Kids");
        ASSERT_EQ(kids.getArrayNItems(), 1);
        EXPECT_EQ(kids.getArrayItem(0).getKey("/AS").getName(), "/Two");
    }

    // A piece without fields has no form.
    testing::writeTestPdf(dir.file("plain.pdf"), 2, "P");
    engine.LoadFromFile(dir.file("plain.pdf"));
    ASSERT_EQ(engine.SaveToFile(out), 1);
    QPDF pdf;
    pdf.processFile(out.c_str());
    EXPECT_FALSE(pdf.getRoot().hasKey("/AcroForm"));
}

}  // namespace
}  // namespace pagemeld
