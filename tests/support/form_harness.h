// A window model over scripted services and engine `Engine`, in a work folder of its
// own (work_folder.h). Fixtures derive from it beside ::testing::Test, so its members
// are theirs by name.
#pragma once

#include "app/form1.h"
#include "support/work_folder.h"

namespace pagemeld::testing {

template <class Engine>
class FormHarness : protected WorkFolder {
protected:
    FormHarness() : form(ui, settings, http, system, pdf, errors) {}

    Engine pdf;
    Form1 form;
};

}  // namespace pagemeld::testing
