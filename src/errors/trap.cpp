#include "errors/trap.h"

#include <exception>
#include <utility>

#include "base/runtime_error.h"

namespace pagemeld {

Trap::Trap(ErrorReporter& errors, std::string moduleName, std::string procedureName)
    : errors_(errors), module_(std::move(moduleName)), procedure_(std::move(procedureName)) {}

bool Trap::step(const std::function<void()>& body) {
    for (int repeats = 0;; ++repeats) {
        RuntimeError error(0, {});
        try {
            body();
            return true;
        } catch (const ExitRequested&) {
            throw;
        } catch (...) {
            error = toRuntimeError(std::current_exception());
        }

        // The report runs outside the catch block, so a box shown from it never
        // holds the failed step's exception alive.
        const std::int16_t result =
            errors_.ErrorHandler(error.code(), error.what(), error.line(), module_, procedure_);
        switch (result) {
            case outcome::kResume:
                // A cause that persists leaves the procedure instead of bringing the
                // same box back for ever.
                if (repeats >= kMaxRepeats) return false;
                break;
            case outcome::kResumeNext:
                return true;
            case outcome::kReturn:
                return false;
            default:
                errors_.ExitProject();
        }
    }
}

bool Trap::run(std::initializer_list<std::function<void()>> steps,
               const std::function<bool()>& stopped) {
    for (const auto& body : steps) {
        if (!step(body)) return false;
        if (stopped && stopped()) return true;
    }
    return true;
}

}  // namespace pagemeld
