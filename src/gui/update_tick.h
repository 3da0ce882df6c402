// The update timer's tick for the program: one update check per call.
#pragma once

#include <functional>

#include "base/platform.h"

namespace pagemeld {

class ErrorReporter;
struct Catalogue;

// A tick that runs the update check with these services; the check keeps living
// as long as the returned function does.
std::function<void()> makeUpdateTick(Ui& ui, Settings& settings, Http& http, System& system,
                                     ErrorReporter& errors, const Catalogue& texts);

}  // namespace pagemeld
