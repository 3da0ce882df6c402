#include "runs/document_information.h"

#include "base/product.h"

namespace pagemeld {

const DocumentInformation& outputInformation() {
    static const DocumentInformation entries = {
        {"/Author", kProductName},
        {"/Title", "Output file"},
        {"/Subject", ""},
        {"/Creator", std::string(kProductName) + " Driver"},
        {"/Producer", kProductName},
        {"/Keywords", ""},
    };
    return entries;
}

DocumentInformation withEntries(DocumentInformation information,
                                const DocumentInformation& changes) {
    for (const auto& [key, text] : changes) {
        if (text.empty()) {
            information.erase(key);
        } else {
            information[key] = text;
        }
    }
    return information;
}

}  // namespace pagemeld
