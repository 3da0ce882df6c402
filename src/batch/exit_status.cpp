#include "batch/exit_status.h"

namespace pagemeld {

ExitStatus exitStatusOf(const RequestOutcome& outcome) {
    if (outcome.written == 0) return ExitStatus::NothingWritten;
    return outcome.leftOut ? ExitStatus::PartlyDone : ExitStatus::Done;
}

}  // namespace pagemeld
