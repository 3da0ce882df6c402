// Pictures drawn by the program itself: the button icons of the file lists and the
// banner and Extras pictures. Nothing is loaded from files.
#pragma once

#include <QFrame>
#include <QIcon>
#include <string>

namespace pagemeld {

enum class ButtonIcon { None, Add, Remove, Up, Down, Key };

// The icon a caption-less button shows, chosen by the button's name: add, remove,
// up and down for the list buttons, a key for the password buttons.
ButtonIcon buttonIconFor(const std::string& controlName);
QIcon makeButtonIcon(ButtonIcon icon);

enum class Artwork {
    None,    // a plain container
    Banner,  // the program's banner across the window's top
    Fill,    // the banner's background, for the width beyond it
    Extras,  // the Extras tab's picture
    Key,     // the password legend
};

Artwork artworkFor(const std::string& controlName);

// A picture box: a container that may paint one of the pictures above under its
// children.
class PictureWidget : public QFrame {
public:
    PictureWidget(Artwork artwork, QWidget* parent);
    // The line under the program's name on the banner, in the window's language.
    void setSubtitle(const QString& subtitle);
    const QString& subtitle() const { return subtitle_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Artwork artwork_;
    QString subtitle_;
};

}  // namespace pagemeld
