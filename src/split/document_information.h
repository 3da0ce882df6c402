// The document information every split, mix and quiet-request output carries.
#pragma once

namespace pagemeld {

class PdfEngine;

// Sets the information entries of the selected document, in this order: Author,
// Title, Subject, Creator, Producer, Keywords.
void save_pdf_info(PdfEngine& pdf);

}  // namespace pagemeld
