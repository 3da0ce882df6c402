#include "base/registry.h"

#include "base/runtime_error.h"

namespace pagemeld {

bool RegReadString(Settings& settings, RegistryRoot /*root*/, const std::string& keyPath,
                   const std::string& valueName, std::string& result) {
    try {
        if (auto value = settings.read(keyPath, valueName)) {
            result = std::move(*value);
            return true;
        }
    } catch (const ExitRequested&) {
        throw;
    } catch (...) {
        // Failure is told by the result alone.
    }
    result.clear();
    return false;
}

bool RegWriteString(Settings& settings, RegistryRoot /*root*/, const std::string& keyPath,
                    const std::string& valueName, const std::string& value) {
    try {
        return settings.write(keyPath, valueName, value.empty() ? std::string(" ") : value);
    } catch (const ExitRequested&) {
        throw;
    } catch (...) {
        return false;
    }
}

}  // namespace pagemeld
