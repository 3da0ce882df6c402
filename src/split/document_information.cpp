#include "split/document_information.h"

#include "pdf/pdf_engine.h"

namespace pagemeld {

void save_pdf_info(PdfEngine& pdf) {
    pdf.SetInformation(1, "Ombrix Pagemeld");
    pdf.SetInformation(2, "Output file");
    pdf.SetInformation(3, "");
    pdf.SetInformation(5, "Ombrix Pagemeld Driver");
    pdf.SetInformation(6, "Ombrix Pagemeld");
    pdf.SetInformation(4, "");
}

}  // namespace pagemeld
