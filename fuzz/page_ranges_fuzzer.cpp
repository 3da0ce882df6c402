// The range-text functions on arbitrary text and page counts: the split run's piece
// rewriting, the group count and the engine's item parsing must end, stay in bounds
// and give pages the document has.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "errors/error_handler.h"
#include "errors/trapped_routines.h"
#include "fuzz_support.h"
#include "pdf/page_ranges.h"
#include "runs/split_plan.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Below the 16-bit group limit, so a group count never has a reason to fail.
    if (size < 4 || size > 16 * 1024) return -1;
    std::int32_t pageCount;
    std::memcpy(&pageCount, data, sizeof pageCount);
    const std::string text(reinterpret_cast<const char*>(data) + 4, size - 4);

    static pagemeld::fuzzing::AbortingUi ui;
    static pagemeld::fuzzing::QuietSystem system;
    static pagemeld::ErrorReporter errors(ui, system);

    std::size_t semicolons = 0;
    for (char c : text) semicolons += c == ';';
    check(pagemeld::detectsemicomma(errors, text) == static_cast<std::int16_t>(semicolons + 1),
          "detectsemicomma miscounts");

    // The split run's way through a range text: read first, then cut.
    const pagemeld::RangeTextReading reading = pagemeld::readRangeText(text);
    check(!reading.unclearItem || !reading.unclearItem->empty(), "a blank item quoted as unclear");
    const std::string boxed = pagemeld::withFinalSemicolon(text);
    for (const std::string& piece : pagemeld::rangePieces(boxed)) {
        bool ignored = false;
        const std::string rewritten = pagemeld::check_rangesmall_for_max(piece, pageCount, ignored);
        (void)pagemeld::leadingWholeNumber(piece);
        // The engine reads the rewritten piece with the document's page count. Keep the
        // count small: a real document's pages bound what "1-" can expand to.
        const std::int32_t enginePages = pageCount < 0 ? pageCount % 8 : pageCount % 5000;
        for (std::int32_t page : pagemeld::parsePageRanges(rewritten, enginePages)) {
            check(page >= 1 && page <= enginePages, "a page outside the document");
        }
    }

    // The engine's reading of the raw text, for a small document.
    const std::int32_t smallCount = static_cast<std::int32_t>(data[0] % 64);
    const auto pages = pagemeld::parsePageRanges(text, smallCount);
    for (std::int32_t page : pages) {
        check(page >= 1 && page <= smallCount, "a page outside the document");
    }
    return 0;
}
