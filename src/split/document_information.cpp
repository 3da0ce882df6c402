#include "split/document_information.h"

#include "pdf/pdf_engine.h"

namespace pagemeld {

const std::vector<std::pair<std::int32_t, std::string>>& outputInformation() {
    static const std::vector<std::pair<std::int32_t, std::string>> entries = {
        {1, "Ombrix Pagemeld"},        {2, "Output file"},     {3, ""},
        {5, "Ombrix Pagemeld Driver"}, {6, "Ombrix Pagemeld"}, {4, ""},
    };
    return entries;
}

void save_pdf_info(PdfEngine& pdf) {
    for (const auto& [key, text] : outputInformation()) pdf.SetInformation(key, text);
}

}  // namespace pagemeld
