#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "base/system_info.h"
#include "gui/qt_text.h"

namespace pagemeld {

QtTranslations::QtTranslations(System& system) : system_(system) {}

QtTranslations::~QtTranslations() {
    if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

void QtTranslations::apply(const std::string& locale) {
    // Loading a language again, or a list entry that loads none, changes nothing.
    if (locale_ && *locale_ == locale) return;
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    locale_ = locale;

    // The portable folder carries its own; a program built here finds Qt's.
    const QString beside = toQt(system_.programFolder() + kPathSeparator + kFolder);
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : {beside, QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (translator->load(QLocale(toQt(locale)), QStringLiteral("qtbase"), QStringLiteral("_"),
                             folder)) {
            QCoreApplication::installTranslator(translator.get());
            translator_ = std::move(translator);
            return;
        }
    }
}

}  // namespace pagemeld
