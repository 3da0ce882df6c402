#include "unwritable_fixture.h"

#include <set>

#include "lang/catalogue.h"
#include "support/test_pdfs.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace pagemeld::testing {

namespace fs = std::filesystem;

void UnwritableTest::writeGrowingPdf(const std::string& path) {
    const std::string small = path + ".small";
    const std::string large = path + ".large";
    TestPdfOptions smallPages{3, "A"};
    smallPages.sharedImage = false;
    writeTestPdf(small, smallPages);
    TestPdfOptions largePage{1, "Z"};
    largePage.imageSide = 500;
    writeTestPdf(large, largePage);

    // Joined with qpdf itself, so the document does not depend on the code under test.
    QPDF joined;
    joined.processFile(small.c_str());
    QPDF other;
    other.processFile(large.c_str());
    QPDFPageDocumentHelper pages(joined);
    for (auto& page : QPDFPageDocumentHelper(other).getAllPages()) pages.addPage(page, false);
    const std::string output = path;
    QPDFWriter writer(joined, output.c_str());
    writer.write();
    fs::remove(small);
    fs::remove(large);
}

bool UnwritableTest::makePlace(std::string& whyNot) {
    place = UnwritablePlace::make(GetParam(), dir.path() / "place", kRoom, whyNot);
    return place != nullptr;
}

std::vector<std::string> UnwritableTest::placeListing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path() / "place")) {
        const std::string name = entry.path().filename().string();
        if (name != "lost+found") names.insert(name);
    }
    return {names.begin(), names.end()};
}

std::string UnwritableTest::expectedReason() const {
    const Catalogue english;
    return GetParam() == PlaceKind::ReadOnly ? english.MsgWhyDenied : english.MsgWhyDiskFull;
}

std::string placeKindName(const ::testing::TestParamInfo<PlaceKind>& info) {
    return toString(info.param);
}

}  // namespace pagemeld::testing
