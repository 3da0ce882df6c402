#include "gui/window_program.h"

#include "gui/update_tick.h"

namespace pagemeld {

WindowProgram::WindowProgram(Ui& ui, Settings& settings, Http& http, System& system, PdfEngine& pdf,
                             ErrorReporter& errors)
    : form(ui, settings, http, system, pdf, errors),
      languages(form, form.catalogue, settings, ui, system, errors),
      qtTexts_(system),
      updateTick_(makeUpdateTick(ui, settings, http, system, errors, form.catalogue)) {
    form.load_languages = [this] {
        languages.load_languages();
        qtTexts_.apply(form.catalogue.Locale);
    };
    form.choose_language = [this] {
        languages.cmb_languages_Click();
        qtTexts_.apply(form.catalogue.Locale);
    };
    form.check_for_update = [this] { updateTick_(); };
}

}  // namespace pagemeld
