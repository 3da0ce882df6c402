// The page count every file list shows for a file.
#include <string>

#include "app/form1.h"
#include "app/shared_routines.h"
#include "base/runtime_error.h"
#include "errors/trap.h"
#include "pdf/light_page_counter.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

PageCount Form1::getpagenumber(const std::string& file, bool /*modmerge*/) {
    PageCount count;
    Trap trap(errors_, kFormName, "getpagenumber");
    trap.step([&] {
        const OpenedDocument document = pdf_.open(file, "");
        std::int32_t why = 0;
        if (document.opened()) {
            count.pages = document.pageCount();
            return;
        }
        if (document.locked) {
            // Its pages wait for the password; the page tree itself tells how many.
            count.pages = countPagesLightly(file, why);
            return;
        }
        // The file is listed all the same, so the user may still remove it or see it
        // fail in a run; its count is a guess, and the user learns which file and why.
        count.guessed = true;
        // A file the full load refuses may still be counted by the light reader.
        count.pages = countPagesLightly(file, why);
        std::string what = catalogue.MsgErrFileDamaged;
        std::int32_t style = msgbox::kExclamation;
        if (count.pages <= 0) {
            count.pages = 1;
            style = msgbox::kCritical;
            if (why == errcode::kNotPdf)
                what = catalogue.MsgErrFileNotPdf;
            else if (why != 0 && why != errcode::kInvalidFileFormat)
                what = catalogue.MsgErrFileUnreadable;
        }
        MsgBoxEx(errors_, ui_, what + "\n" + file + "\n" + catalogue.MsgPagesGuessed, style);
    });
    return count;
}

}  // namespace pagemeld
