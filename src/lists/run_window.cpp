#include "lists/run_window.h"

#include "app/shared_routines.h"
#include "lists/file_list_grid.h"

namespace pagemeld::filelist {

InputFile inputOfRow(const Grid& grid, int row) {
    return {pathOfRow(grid, row), trimBlanks(grid.textMatrix(row, kColPassword))};
}

bool refusesOutputPlace(Form1& form, const std::string& typedBase, const std::string& destination) {
    if (!verify_filename(form.errors(), typedBase)) {
        MsgBoxEx(form.errors(), form.ui(), form.catalogue.MsgOutputFileInvalidChar,
                 msgbox::kExclamation);
        return true;
    }
    if (destination.empty()) {
        MsgBoxEx(form.errors(), form.ui(), form.catalogue.MsgSelectDestFolder, msgbox::kCritical);
        return true;
    }
    return false;
}

void emptyBar(Form1& form, ProgressBar& bar, Timer& timer) {
    bar.value = 0;
    timer.enabled = false;
    if (form.repaint) form.repaint();
}

void WindowRunReporter::finished(Timer* reset) {
    SetProgressBarColour(form_.errors(), bar_, kBarColourDone);
    progress(100);
    if (!reset) return;
    reset->interval = kBarTimerInterval;
    reset->enabled = true;
}

void WindowRunReporter::started() {
    SetProgressBarColour(form_.errors(), bar_, kBarColourWorking);
}

void WindowRunReporter::progress(int percent) {
    bar_.value = percent;
    if (form_.repaint) form_.repaint();
}

bool WindowRunReporter::mayReplace(const ReplaceQuestion& question) {
    const Catalogue& texts = form_.catalogue;
    const std::string text = texts.MsgReplaceOutputs1 + " " + std::to_string(question.existing) +
                             "\n" + question.destination + "\n\n" + texts.MsgReplaceOutputs2;
    return MsgBoxEx(form_.errors(), form_.ui(), text,
                    msgbox::kYesNo + msgbox::kQuestion + msgbox::kDefaultButton2) ==
           msgbox::kAnswerYes;
}

}  // namespace pagemeld::filelist
