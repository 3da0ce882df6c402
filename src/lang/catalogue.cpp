#include "lang/catalogue.h"

namespace pagemeld {

const std::vector<CatalogueEntry>& catalogueEntries() {
    static const std::vector<CatalogueEntry> entries = {
        {"MAIN", "tabsplit", &Catalogue::tabsplit},
        {"MAIN", "tabmerge", &Catalogue::tabmerge},
        {"MAIN", "tabmix", &Catalogue::tabmix},
        {"MAIN", "tababout", &Catalogue::tababout},
        {"MAIN", "tabextras", &Catalogue::tabextras},
        {"OTHER", "GridFilename", &Catalogue::GridFilename},
        {"OTHER", "GridPath", &Catalogue::GridPath},
        {"OTHER", "GridPages", &Catalogue::GridPages},
        {"OTHER", "GridPassword", &Catalogue::GridPassword},
        {"OTHER", "SaveDialogTitle", &Catalogue::SaveDialogTitle},
        {"OTHER", "MsgOutputFileExists", &Catalogue::MsgOutputFileExists},
        {"OTHER", "MsgOutputFileInvalidChar", &Catalogue::MsgOutputFileInvalidChar},
        {"OTHER", "MsgErrAdd2files", &Catalogue::MsgErrAdd2files},
        {"OTHER", "MsgErrDecryptAddPassw", &Catalogue::MsgErrDecryptAddPassw},
        {"OTHER", "MsgErrDecryptWrPassw", &Catalogue::MsgErrDecryptWrPassw},
        {"OTHER", "MsgErrDecrypt", &Catalogue::MsgErrDecrypt},
        {"OTHER", "MsgErrMerge", &Catalogue::MsgErrMerge},
        {"OTHER", "MsgMergeDone", &Catalogue::MsgMergeDone},
        {"OTHER", "MsgErrMixAdd2files", &Catalogue::MsgErrMixAdd2files},
        {"OTHER", "MsgErrMixAboveMax1", &Catalogue::MsgErrMixAboveMax1},
        {"OTHER", "MsgErrMixAboveMax2", &Catalogue::MsgErrMixAboveMax2},
        {"OTHER", "MsgSplitAddFile", &Catalogue::MsgSplitAddFile},
        {"OTHER", "MsgMixDone", &Catalogue::MsgMixDone},
        {"OTHER", "MsgSelectDestFolder", &Catalogue::MsgSelectDestFolder},
        {"OTHER", "MsgErrSplitAboveMax1", &Catalogue::MsgErrSplitAboveMax1},
        {"OTHER", "MsgErrSplitAboveMax2", &Catalogue::MsgErrSplitAboveMax2},
        {"OTHER", "MsgSplitDone", &Catalogue::MsgSplitDone},
        {"OTHER", "MsgErrCL", &Catalogue::MsgErrCL},
        {"OTHER", "MsgErrCL2", &Catalogue::MsgErrCL2},
        {"OTHER", "MsgErrCL3", &Catalogue::MsgErrCL3},
        {"OTHER", "MsgErrCL4", &Catalogue::MsgErrCL4},
        {"OTHER", "MsgErrPageNo", &Catalogue::MsgErrPageNo},
        {"OTHER", "MsgErrPageNo2", &Catalogue::MsgErrPageNo2},
        {"OTHER", "MsgErrMergeOnlyPDF1", &Catalogue::MsgErrMergeOnlyPDF1},
        {"OTHER", "MsgErrMergeOnlyPDF2", &Catalogue::MsgErrMergeOnlyPDF2},
        {"OTHER", "MsgErrMergeMax1", &Catalogue::MsgErrMergeMax1},
        {"OTHER", "MsgErrMergeMax2", &Catalogue::MsgErrMergeMax2},
        {"OTHER", "MsgErrMergeMax3", &Catalogue::MsgErrMergeMax3},
        {"OTHER", "MsgEnterPassw", &Catalogue::MsgEnterPassw},
        {"OTHER", "MsgErrMixOnly21", &Catalogue::MsgErrMixOnly21},
        {"OTHER", "MsgErrMixOnly22", &Catalogue::MsgErrMixOnly22},
        {"OTHER", "MsgErrMixNumberField", &Catalogue::MsgErrMixNumberField},
        {"OTHER", "MsgErrMixStartBeyond", &Catalogue::MsgErrMixStartBeyond},
        {"OTHER", "MsgErrMixSave", &Catalogue::MsgErrMixSave},
        {"OTHER", "MsgNewVersion1", &Catalogue::MsgNewVersion1},
        {"OTHER", "MsgNewVersion2", &Catalogue::MsgNewVersion2},
        {"OTHER", "MsgNewVersion3", &Catalogue::MsgNewVersion3},
    };
    return entries;
}

}  // namespace pagemeld
