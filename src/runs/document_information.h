// The document information every split piece, mix pass and quiet split piece carries.
#pragma once

#include "pdf/pdf_document.h"

namespace pagemeld {

// The entries written over the source's own: Author, Title, Creator and Producer name
// the program; Subject and Keywords (empty) are removed.
const DocumentInformation& outputInformation();

// `information` with `changes` applied: an empty text removes its entry.
DocumentInformation withEntries(DocumentInformation information,
                                const DocumentInformation& changes);

}  // namespace pagemeld
