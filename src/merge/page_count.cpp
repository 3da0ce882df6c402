// The page count every file list shows for a file.
#include <string>

#include "app/form1.h"
#include "app/shared_routines.h"
#include "base/runtime_error.h"
#include "errors/trap.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

PageCount Form1::getpagenumber(const std::string& file, bool /*modmerge*/) {
    PageCount count;
    Trap trap(errors_, kFormName, "getpagenumber");
    trap.step([&] {
        if (pdf_.LoadFromFile(file) != 0) {
            count.pages = pdf_.pagecount();
            pdf_.RemoveDocument(pdf_.SelectedDocument());
            return;
        }
        // The file is listed all the same, so the user may still remove it or see it
        // fail in a run; its count is a guess, and the user learns which file and why.
        count.guessed = true;
        // A file the full load refuses may still be counted by the light reader.
        const std::int32_t handle = pdf_.DAOpenFile(file, "");
        std::string what = catalogue.MsgErrFileDamaged;
        std::int32_t style = msgbox::kExclamation;
        if (handle != 0) {
            count.pages = pdf_.DAGetPageCount(handle);
            pdf_.DACloseFile(handle);
        } else {
            count.pages = 1;
            style = msgbox::kCritical;
            const std::int32_t why = pdf_.LastErrorCode();
            if (why == errcode::kNotPdf)
                what = catalogue.MsgErrFileNotPdf;
            else if (why != errcode::kInvalidFileFormat)
                what = catalogue.MsgErrFileUnreadable;
        }
        MsgBoxEx(errors_, ui_, what + "\n" + file + "\n" + catalogue.MsgPagesGuessed, style);
    });
    return count;
}

}  // namespace pagemeld
