// The page count every file list shows for a file.
#include <string>

#include "app/form1.h"
#include "app/shared_routines.h"
#include "errors/trap.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

std::int32_t Form1::getpagenumber(const std::string& file, bool /*modmerge*/) {
    std::int32_t pages = 0;
    Trap trap(errors_, kFormName, "getpagenumber");
    trap.step([&] {
        if (pdf_.LoadFromFile(file) != 0) {
            pages = pdf_.pagecount();
            pdf_.RemoveDocument(pdf_.SelectedDocument());
            return;
        }
        // A file the full load refuses may still be counted by the light reader.
        const std::int32_t handle = pdf_.DAOpenFile(file, "");
        if (handle == 0) {
            // Listed all the same, with one page; the user learns which file and why.
            pages = 1;
            MsgBoxEx(
                errors_, ui_,
                catalogue.MsgErrPageNo + " " + std::to_string(pdf_.LastErrorCode()) + "\n" + file,
                msgbox::kCritical);
            return;
        }
        pages = pdf_.DAGetPageCount(handle);
        pdf_.DACloseFile(handle);
        MsgBoxEx(errors_, ui_, catalogue.MsgErrPageNo2 + " ", msgbox::kInformation);
    });
    return pages;
}

}  // namespace pagemeld
