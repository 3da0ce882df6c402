// The shipped languages in the real window: choosing one in the list changes the
// captions and Qt's own buttons at once, and every caption of every language fits
// its control (the text measured with the font the control draws it in, against the
// room the control gives it).
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>

#include "base/registry.h"
#include "lang/language_loader.h"
#include "window_harness.h"

namespace pagemeld::testing {
namespace {

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

using WindowLanguagesTest = WindowHarness;

TEST_F(WindowLanguagesTest, ChoosingAnotherLanguageChangesTheCaptionsAtOnce) {
    installLanguages();
    start();
    auto* list = find<QComboBox>("cmb_languages");
    ASSERT_EQ(list->currentText().toStdString(), "English");
    ASSERT_EQ(list->itemText(list->currentIndex() - 1).toStdString(), "Deutsch");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);

    EXPECT_EQ(list->currentText().toStdString(), "Deutsch");
    EXPECT_EQ(find<QTabBar>("tabOptions")->tabText(0).toStdString(), "Teilen");
    EXPECT_EQ(find<QPushButton>("cmd_split_run")->text().toStdString(), "Dieses PDF teilen!");
    EXPECT_EQ(find<QTableWidget>("split_grid")->horizontalHeaderItem(1)->text().toStdString(),
              "Dateiname");
    EXPECT_EQ(settings.read(kSettingsKeyPath, kLanguageValue), "Deutsch");
}

// Qt's standard buttons, as a message box of the program shows them.
std::vector<std::string> standardButtonTexts() {
    QMessageBox box(QMessageBox::Question, "Ombrix Pagemeld", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    std::vector<std::string> texts;
    for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
        texts.push_back(box.button(button)->text().toStdString());
    }
    return texts;
}

TEST_F(WindowLanguagesTest, QtsOwnButtonsSpeakTheChosenLanguage) {
    installLanguages();
    // Qt's German beside the program, as the installed folder carries it.
    const std::filesystem::path qtTexts = dir.path() / "translations";
    std::filesystem::create_directory(qtTexts);
    std::filesystem::copy_file(std::filesystem::path(PAGEMELD_QT_TRANSLATIONS_DIR) / "qtbase_de.qm",
                               qtTexts / "qtbase_de.qm");
    start();
    const std::vector<std::string> english = {"&Yes", "&No", "Cancel"};
    EXPECT_EQ(standardButtonTexts(), english);

    auto* list = find<QComboBox>("cmb_languages");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    ASSERT_EQ(list->currentText().toStdString(), "Deutsch");
    EXPECT_EQ(standardButtonTexts(), (std::vector<std::string>{"&Ja", "&Nein", "Abbrechen"}));

    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentText().toStdString(), "English");
    EXPECT_EQ(standardButtonTexts(), english);
}

// Measured with the fonts the desktop gives the window (see tests/CMakeLists.txt).
using CaptionFitHostFontsTest = WindowHarness;

TEST_F(CaptionFitHostFontsTest, EveryCaptionOfEveryLanguageFitsItsControl) {
    installLanguages();
    start();
    auto* list = find<QComboBox>("cmb_languages");
    ASSERT_GE(list->count(), 4);
    for (int i = 0; i < list->count(); ++i) {
        const std::string language = list->itemText(i).toStdString();
        if (language == LanguageLoader::kAddYourLanguage) continue;
        list->setCurrentIndex(i);
        emit list->activated(i);
        ASSERT_EQ(form.cmb_languages.text, language);
        for (Control* control : form.controls()) {
            if (!control->hasCaption() || control->caption.empty()) continue;
            QWidget* widget = find(objectNameFor(*control));
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(misfit(widget), "")
                << language << ": " << control->name << " \"" << control->caption << "\"";
        }
    }

    // The merge list's number column holds the largest number of files.
    auto* grid = find<QTableWidget>("merge_grid");
    const int margins =
        2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    EXPECT_LE(QFontMetrics(grid->font()).horizontalAdvance(QString::number(form.state.mgrid_max)) +
                  margins,
              grid->columnWidth(0));
}

}  // namespace
}  // namespace pagemeld::testing
