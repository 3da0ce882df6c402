// Writes PDF objects to an output file as they are reached: each object of an input
// gets one output number per output, references are renumbered, stream data is copied
// raw, and the byte offsets are kept for the cross-reference table. Memory stays
// bounded by the list of offsets, not by the inputs: a large stream passes through in
// blocks (a scanned page may be hundreds of megabytes), never whole.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pdf/pdf_source.h"

namespace pagemeld {

class ObjectSerialiser;
struct SourceObjects;

// Writes what a plain copy of an input's objects must not: entries of links and the
// form fields' dictionaries depend on which pages and fields an output keeps.
class ObjectRewriter {
public:
    virtual ~ObjectRewriter() = default;
    // Writes the entry `key` (/Dest or /A) of a link annotation, or nothing.
    virtual void writeLinkEntry(ObjectSerialiser& out, SourceObjects& objects,
                                const std::string& key, QPDFObjectHandle value, int depth) = 0;
    // Writes the indirect dictionary `object` its own way; false leaves it to the plain copy.
    virtual bool writeObject(ObjectSerialiser& out, SourceObjects& objects,
                             QPDFObjectHandle object) = 0;
};

// The output numbers of one input's objects.
struct SourceObjects {
    PdfSource* source = nullptr;
    std::unordered_map<QPDFObjGen, std::int64_t, ObjGenHash> objects;  // -1: written as null
    std::unordered_map<QPDFObjGen, std::int64_t, ObjGenHash> pages;
    ObjectRewriter* rewriter = nullptr;
};

class ObjectSerialiser {
public:
    // Stream data up to this size is read whole; larger data passes in blocks of it.
    static constexpr std::size_t kStreamBlockBytes = 1 << 18;

    // The numbers below `firstFree` are the caller's to write with beginObject.
    ObjectSerialiser(std::FILE* out, std::int64_t firstFree);

    std::int64_t newObjectNumber();
    void beginObject(std::int64_t number);
    void endObject();

    // An indirect value becomes a reference (the object is queued to be written once),
    // a direct one is written out.
    void writeValue(SourceObjects& objects, QPDFObjectHandle value, int depth);
    void writeDirect(SourceObjects& objects, QPDFObjectHandle value, int depth);
    // The output number of an indirect object, queued to be written when it is new;
    // -1 when references to it are written as null.
    std::int64_t referenceNumber(SourceObjects& objects, QPDFObjectHandle value);
    // The written form of `value` (references renumbered), instead of writing it out.
    std::string captureValue(SourceObjects& objects, QPDFObjectHandle value);
    // Writes the queued objects, and those they reach.
    void drainPending();
    // After a failure: forgets queued objects and unlists an object left half written.
    void abandon();

    // The cross-reference table and a trailer holding `trailerEntries`.
    void finishFile(std::string_view trailerEntries);

    // Output with byte offsets.
    void put(std::string_view text);
    void putNumber(std::int64_t value);
    void putName(const std::string& name);
    void putReference(std::int64_t number);

private:
    struct Pending {
        SourceObjects* objects;
        std::int64_t number;
        QPDFObjectHandle object;
    };

    // A /Length written as a reference, and its value once the data has passed.
    struct DeferredLength {
        std::int64_t number = 0;
        std::int64_t value = 0;
    };

    void writeObject(const Pending& pending);
    DeferredLength writeStream(SourceObjects& objects, QPDFObjectHandle stream);
    void copyRaw(PdfSource& source, RawStreamSpan span);
    std::int64_t pipeRaw(QPDFObjectHandle stream);
    void flush();

    std::FILE* out_;
    std::string buffer_;
    std::int64_t written_ = 0;           // bytes handed to the file so far
    std::vector<std::int64_t> offsets_;  // by object number; -1 = free
    std::deque<Pending> pending_;
    std::vector<char> block_;
    bool capturing_ = false;
    std::int64_t openObject_ = 0;
};

}  // namespace pagemeld
