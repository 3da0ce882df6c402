#include "gui/qt_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include "gui/qt_text.h"

namespace pagemeld {
namespace {

// The answer number of a standard button, as the callers compare them.
int answerOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return msgbox::kAnswerOk;
        case QMessageBox::Cancel:
            return msgbox::kAnswerCancel;
        case QMessageBox::Abort:
            return msgbox::kAnswerAbort;
        case QMessageBox::Retry:
            return msgbox::kAnswerRetry;
        case QMessageBox::Ignore:
            return msgbox::kAnswerIgnore;
        case QMessageBox::Yes:
            return msgbox::kAnswerYes;
        case QMessageBox::No:
            return msgbox::kAnswerNo;
        default:
            return msgbox::kAnswerCancel;
    }
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    // What closing the box answers; NoButton for boxes that only take one of their
    // buttons, as Abort/Retry/Ignore and Yes/No boxes do.
    QMessageBox::StandardButton escape;
};

ButtonSet buttonsOf(int style) {
    switch (style & msgbox::kButtonsMask) {
        case msgbox::kOkCancel:
            return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel};
        case msgbox::kAbortRetryIgnore:
            return {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                    QMessageBox::NoButton};
        case msgbox::kYesNoCancel:
            return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel};
        case msgbox::kYesNo:
            return {QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton};
        case msgbox::kRetryCancel:
            return {QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Cancel};
        default:
            return {QMessageBox::Ok, QMessageBox::Ok};
    }
}

// The second button of a box's set, for boxes whose style makes it the default.
QMessageBox::StandardButton secondButtonOf(int style) {
    switch (style & msgbox::kButtonsMask) {
        case msgbox::kOkCancel:
        case msgbox::kRetryCancel:
            return QMessageBox::Cancel;
        case msgbox::kAbortRetryIgnore:
            return QMessageBox::Retry;
        case msgbox::kYesNoCancel:
        case msgbox::kYesNo:
            return QMessageBox::No;
        default:
            return QMessageBox::NoButton;
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & msgbox::kIconMask) {
        case msgbox::kCritical:
            return QMessageBox::Critical;
        case msgbox::kQuestion:
            return QMessageBox::Question;
        case msgbox::kExclamation:
            return QMessageBox::Warning;
        case msgbox::kInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

std::optional<std::string> readInternetShortcut(const std::string& path) {
    QFile file(toQt(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // A shortcut is a few lines; anything much larger is not one.
    const QByteArray content = file.read(64 * 1024);
    bool inSection = false;
    for (const QByteArray& rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith('[')) {
            inSection =
                line.compare(QStringLiteral("[InternetShortcut]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        if (line.startsWith(QStringLiteral("URL="), Qt::CaseInsensitive)) {
            const QString address = line.mid(4).trimmed();
            if (address.isEmpty()) return std::nullopt;
            return fromQt(address);
        }
    }
    return std::nullopt;
}

std::string qtDialogFilter(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& filter : filters) {
        // Windows patterns are separated by ";", Qt's by blanks.
        QString pattern = toQt(filter.pattern).replace(';', ' ').simplified();
        if (pattern.isEmpty()) continue;
        QString description = toQt(filter.description).trimmed();
        // Qt takes the patterns from the last parentheses; the description of a
        // filter often shows them already.
        if (description.endsWith(QStringLiteral("(") + pattern + QStringLiteral(")"))) {
            parts << description;
        } else {
            // Parentheses inside the description would be read as patterns.
            description.replace('(', '[').replace(')', ']');
            parts << (description.isEmpty() ? pattern : description) + QStringLiteral(" (") +
                         pattern + QStringLiteral(")");
        }
    }
    return fromQt(parts.join(QStringLiteral(";;")));
}

bool isBrowsableAddress(const std::string& address) {
    const QUrl url(toQt(address), QUrl::StrictMode);
    if (!url.isValid()) return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QStringLiteral("mailto")) return true;
    return (scheme == QStringLiteral("http") || scheme == QStringLiteral("https")) &&
           !url.host().isEmpty();
}

QWidget* QtUi::owner() const {
    if (QWidget* active = QApplication::activeModalWidget()) return active;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return parent_.data();
}

int QtUi::messageBox(const std::string& text, const std::string& title, int style) {
    const ButtonSet set = buttonsOf(style);
    QMessageBox box(iconOf(style), toQt(title), toQt(text), set.buttons, owner());
    if ((style & msgbox::kDefaultButtonMask) == msgbox::kDefaultButton2 &&
        secondButtonOf(style) != QMessageBox::NoButton) {
        box.setDefaultButton(secondButtonOf(style));
    }
    if (set.escape != QMessageBox::NoButton) {
        box.setEscapeButton(set.escape);
        box.exec();
        return answerOf(box.standardButton(box.clickedButton()));
    }
    // Escape and the close button land on a hidden button, and the box stays until
    // one of its own buttons is pressed.
    QAbstractButton* stay = box.addButton(QString(), QMessageBox::RejectRole);
    stay->hide();
    box.setEscapeButton(stay);
    do {
        box.exec();
    } while ((box.clickedButton() == stay || box.clickedButton() == nullptr) && !quitting_);
    return answerOf(box.standardButton(box.clickedButton()));
}

std::optional<std::string> QtUi::inputBox(const std::string& prompt, const std::string& title,
                                          const std::string& defaultText, InputEcho echo) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner(), toQt(title), toQt(prompt),
                              echo == InputEcho::Masked ? QLineEdit::Password : QLineEdit::Normal,
                              toQt(defaultText), &ok);
    if (!ok) return std::nullopt;
    return fromQt(text);
}

std::vector<std::string> QtUi::openFileDialog(const std::vector<FileFilter>& filters, bool multiple,
                                              const std::string& startFolder) {
    const QString filter = toQt(qtDialogFilter(filters));
    const QString start = toQt(startFolder);
    QStringList chosen;
    if (multiple) {
        chosen = QFileDialog::getOpenFileNames(owner(), QString(), start, filter);
    } else {
        const QString one = QFileDialog::getOpenFileName(owner(), QString(), start, filter);
        if (!one.isEmpty()) chosen << one;
    }
    std::vector<std::string> paths;
    for (const QString& path : chosen) paths.push_back(fromQt(QDir::toNativeSeparators(path)));
    return paths;
}

std::string QtUi::saveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                                 const std::string& start) {
    const QString startAt = start.empty() ? QDir::currentPath() : toQt(start);
    const QString path =
        QFileDialog::getSaveFileName(owner(), toQt(title), startAt, toQt(qtDialogFilter(filters)),
                                     nullptr, QFileDialog::DontConfirmOverwrite);
    return path.isEmpty() ? std::string() : fromQt(QDir::toNativeSeparators(path));
}

std::string QtUi::pickFolder(const std::string& title, const std::string& startFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner(), toQt(title), toQt(startFolder));
    if (folder.isEmpty()) return {};
    QString native = QDir::toNativeSeparators(folder);
    // A root keeps its separator; any other folder has none at its end.
    while (native.size() > 1 && native.endsWith(QDir::separator()) &&
           !(native.size() == 3 && native[1] == ':')) {
        native.chop(1);
    }
    return fromQt(native);
}

bool QtUi::openWithAssociatedProgram(const std::string& path,
                                     const std::string& /*workingFolder*/) {
    if (QString::fromStdString(path).endsWith(QStringLiteral(".url"), Qt::CaseInsensitive)) {
#ifdef _WIN32
        // The shell knows Internet shortcuts itself.
        return QDesktopServices::openUrl(QUrl::fromLocalFile(toQt(path)));
#else
        const std::optional<std::string> address = readInternetShortcut(path);
        if (!address || !isBrowsableAddress(*address)) return false;
        return QDesktopServices::openUrl(QUrl(toQt(*address)));
#endif
    }
    if (isBrowsableAddress(path)) return QDesktopServices::openUrl(QUrl(toQt(path)));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQt(path)));
}

void QtUi::quit() {
    if (quitting_) return;
    quitting_ = true;
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

}  // namespace pagemeld
