// Why an output could not be written, in the user's language: a message that only
// names the file leaves the user guessing between a full disk, a read-only folder
// and a name the disk refuses.
#pragma once

#include <cstdint>
#include <string>

#include "lang/catalogue.h"

namespace pagemeld {

// The explanation for an engine error number (PdfFailure::code); empty when there is
// none more useful than the message itself.
std::string failureReason(const Catalogue& catalogue, std::int32_t engineErrorCode);

// `message`, followed on a line of its own by the explanation when there is one.
std::string withFailureReason(const Catalogue& catalogue, const std::string& message,
                              std::int32_t engineErrorCode);

}  // namespace pagemeld
