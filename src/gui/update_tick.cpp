#include "gui/update_tick.h"

#include <memory>

#include "update/update_check.h"

namespace pagemeld {

std::function<void()> makeUpdateTick(Ui& ui, Settings& settings, Http& http, System& system,
                                     ErrorReporter& errors, const Catalogue& texts) {
    auto checker = std::make_shared<UpdateChecker>(ui, settings, http, system, errors, texts);
    return [checker] { checker->updatetimer_tick(); };
}

}  // namespace pagemeld
