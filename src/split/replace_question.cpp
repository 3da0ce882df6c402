#include "split/replace_question.h"

#include <filesystem>
#include <system_error>

#include "app/shared_routines.h"
#include "base/file_system.h"
#include "base/text_encoding.h"
#include "lang/catalogue.h"
#include "split/split_plan.h"

namespace pagemeld {

std::int32_t existingOutputs(const std::string& destination, const std::string& baseName,
                             std::int32_t outputs) {
    std::int32_t found = 0;
    for (std::int32_t number = 1; number <= outputs; ++number) {
        std::error_code ec;
        if (std::filesystem::exists(
                fileStatus(numberedOutputName(destination, baseName, number), ec)))
            ++found;
    }
    return found;
}

bool mayReplaceOutputs(ErrorReporter& errors, Ui& ui, const Catalogue& texts,
                       const std::string& destination, const std::string& baseName,
                       std::int32_t outputs) {
    const std::int32_t found = existingOutputs(destination, baseName, outputs);
    if (found == 0) return true;
    const std::string question = texts.MsgReplaceOutputs1 + " " + std::to_string(found) + "\n" +
                                 destination + "\n\n" + texts.MsgReplaceOutputs2;
    return MsgBoxEx(errors, ui, question,
                    msgbox::kYesNo + msgbox::kQuestion + msgbox::kDefaultButton2) ==
           msgbox::kAnswerYes;
}

}  // namespace pagemeld
