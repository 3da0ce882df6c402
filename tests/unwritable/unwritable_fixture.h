// A test over each kind of place where writing fails, with a document whose last
// page is far larger than the others, so that small outputs fit and a large one does
// not: what was written before the failure must stay whole, the failing file must
// leave nothing.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/unwritable_place.h"

namespace pagemeld::testing {

// Room on a full disk, and the size limit: each small output fits, the large page does not.
inline constexpr std::uintmax_t kRoom = 160 * 1024;

class UnwritableTest : public ::testing::TestWithParam<PlaceKind> {
protected:
    // Writes "A 1".."A 3" (small pages) and "Z 1" (a page holding ~750 KB of image) to `path`.
    static void writeGrowingPdf(const std::string& path);

    // Makes the place at folder "place"; false (with the reason) when this machine cannot.
    bool makePlace(std::string& whyNot);
    std::string placeFile(const std::string& name) const {
        return (dir.path() / "place" / name).string();
    }
    std::string placeFolder() const { return (dir.path() / "place").string() + "/"; }
    // Every name in the place, hidden ones included, sorted.
    std::vector<std::string> placeListing() const;
    // What the user is told is wrong with the place.
    std::string expectedReason() const;
    // The number of the first output of a run that fails, given that the large page
    // comes fourth: on a read-only place nothing can be written at all.
    int firstFailingOutput() const { return GetParam() == PlaceKind::ReadOnly ? 1 : 4; }

    TempDir dir;
    std::unique_ptr<UnwritablePlace> place;
};

std::string placeKindName(const ::testing::TestParamInfo<PlaceKind>& info);

inline auto allPlaceKinds() {
    return ::testing::Values(PlaceKind::FullDisk, PlaceKind::ReadOnly, PlaceKind::FileSizeLimit);
}

}  // namespace pagemeld::testing
