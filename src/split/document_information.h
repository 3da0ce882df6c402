// The document information every split, mix and quiet-request output carries.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pagemeld {

class PdfEngine;

// The entries, as engine keys (1 Author ... 6 Producer) and texts, in the order they
// are set: Author, Title, Subject, Creator, Producer, Keywords. An empty text removes
// the entry.
const std::vector<std::pair<std::int32_t, std::string>>& outputInformation();

// Sets those entries on the selected document.
void save_pdf_info(PdfEngine& pdf);

}  // namespace pagemeld
