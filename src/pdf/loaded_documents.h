// The documents an operation has loaded into the engine. Each is dropped as soon as
// the operation no longer needs it, and every one still held when the operation
// ends, however it ends: a run must not leave documents (and their open files)
// behind in the engine.
#pragma once

#include <cstdint>
#include <vector>

namespace pagemeld {

class PdfEngine;

class LoadedDocuments {
public:
    explicit LoadedDocuments(PdfEngine& pdf) : pdf_(pdf) {}
    ~LoadedDocuments();
    LoadedDocuments(const LoadedDocuments&) = delete;
    LoadedDocuments& operator=(const LoadedDocuments&) = delete;

    // Holds `id` (0, a failed load, is ignored) and returns it.
    std::int32_t add(std::int32_t id);
    // Drops one document now.
    void release(std::int32_t id);
    // Drops every document held.
    void releaseAll();

private:
    PdfEngine& pdf_;
    std::vector<std::int32_t> ids_;
};

}  // namespace pagemeld
