// Every caption of every shipped language fits its control: the text measured with
// the font the control draws it in, against the room the control gives it.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>

#include "window_harness.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;

// The languages a user can choose: every shipped file that declares one.
std::vector<std::string> shippedLanguageFiles() {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(PAGEMELD_LANGUAGES_DIR)) {
        if (entry.path().extension() != ".ini") continue;
        if (entry.path().stem() == "Add your language") continue;
        files.push_back(entry.path().filename().string());
    }
    return files;
}

// Pixels a caption needs beyond its text, as the style draws the control.
int chrome(const QWidget* widget) {
    const QStyle* style = widget->style();
    if (qobject_cast<const QRadioButton*>(widget))
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, widget) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, widget);
    if (qobject_cast<const QCheckBox*>(widget))
        return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
        return 2 * (frame + margin) +
               (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
    }
    // A group box's title stands inside its frame's rounded corner.
    if (qobject_cast<const QGroupBox*>(widget)) return 16;
    return 0;
}

// Why the caption of `widget` does not fit, or "" when it does.
std::string misfit(const QWidget* widget) {
    const QFontMetrics metrics(widget->font());
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        // A label wraps at blanks: every word must fit the width, and the lines the
        // height.
        text = label->text();
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap, text);
        for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
            if (metrics.horizontalAdvance(word) > label->width()) {
                return "word \"" + word.toStdString() + "\" wider than " +
                       std::to_string(label->width());
            }
        }
        if (needed.height() > label->height()) {
            return std::to_string(needed.height()) + " px high in " +
                   std::to_string(label->height());
        }
        return {};
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
        text = box->title();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        text = button->text();
    }
    const int needed = metrics.horizontalAdvance(text) + chrome(widget);
    if (needed <= widget->width()) return {};
    return std::to_string(needed) + " px wide in " + std::to_string(widget->width());
}

// One window in one language, started as a user with that saved choice starts it.
class WindowIn : public WindowHarness {
public:
    explicit WindowIn(const std::string& languageFile) {
        installLanguages({languageFile.c_str()});
        settings.values["Software\\Ombrix\\OmbrixPagemeld\\Language"] =
            fs::path(languageFile).stem().string();
    }
    void TestBody() override {}
    using WindowHarness::form;
    using WindowHarness::start;
    using WindowHarness::window;
};

TEST(CaptionFitHostFontsTest, EveryCaptionOfEveryLanguageFitsItsControl) {
    const std::vector<std::string> files = shippedLanguageFiles();
    ASSERT_GE(files.size(), 3u);
    for (const std::string& language : files) {
        WindowIn harness(language);
        harness.start();
        ASSERT_EQ(harness.form.cmb_languages.text, fs::path(language).stem().string());
        for (Control* control : harness.form.controls()) {
            if (!control->hasCaption() || control->caption.empty()) continue;
            QWidget* widget = harness.window->findChild<QWidget*>(
                QString::fromStdString(objectNameFor(*control)));
            ASSERT_NE(widget, nullptr) << control->name;
            EXPECT_EQ(misfit(widget), "")
                << language << ": " << control->name << " \"" << control->caption << "\"";
        }
    }
}

}  // namespace
}  // namespace pagemeld::testing
