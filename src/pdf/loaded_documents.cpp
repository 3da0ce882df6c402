#include "pdf/loaded_documents.h"

#include <algorithm>

#include "pdf/pdf_engine.h"

namespace pagemeld {

LoadedDocuments::~LoadedDocuments() {
    try {
        releaseAll();
    } catch (...) {
        // Unwinding from an error already on its way: the engine's own failure to
        // drop a document must not end the program.
    }
}

std::int32_t LoadedDocuments::add(std::int32_t id) {
    if (id != 0) ids_.push_back(id);
    return id;
}

void LoadedDocuments::release(std::int32_t id) {
    if (id == 0) return;
    std::erase(ids_, id);
    pdf_.RemoveDocument(id);
}

void LoadedDocuments::releaseAll() {
    std::vector<std::int32_t> ids;
    ids.swap(ids_);
    for (std::int32_t id : ids) pdf_.RemoveDocument(id);
}

}  // namespace pagemeld
