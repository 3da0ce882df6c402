// The one question before a split or mix run writes its numbered outputs over files
// that are already there.
#pragma once

#include <cstdint>
#include <string>

namespace pagemeld {

class ErrorReporter;
class Ui;
struct Catalogue;

// How many of the numbered outputs 1..outputs (numberedOutputName) already exist as
// files.
std::int32_t existingOutputs(const std::string& destination, const std::string& baseName,
                             std::int32_t outputs);

// True when the run may go on: no output would replace a file, or the user answered
// Yes to the question that says how many would be replaced (No is the default).
bool mayReplaceOutputs(ErrorReporter& errors, Ui& ui, const Catalogue& texts,
                       const std::string& destination, const std::string& baseName,
                       std::int32_t outputs);

}  // namespace pagemeld
