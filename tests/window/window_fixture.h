// A fresh window model over scripted services for every test.
#pragma once

#include <gtest/gtest.h>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld::testing {

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
        : system(dir.path().string()),
          errors(ui, system),
          form(ui, settings, http, system, pdf, errors) {}

    TempDir dir;  // the program folder: shortcuts and any error log live here
    FakeUi ui;
    FakeSettings settings;
    FakeHttp http;
    FakeSystem system;
    QpdfEngine pdf;
    ErrorReporter errors;
    Form1 form;
};

}  // namespace pagemeld::testing
