// Model state of the window's controls. The window model holds one of these per
// control; the Qt view creates a widget per control, places it at the control's
// geometry and copies the state into it after every handler. Plain data: no
// drawing and no events live here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace pagemeld {

// Raises errcode::kInvalidPropertyValue: a size or a choice the control cannot take.
[[noreturn]] void throwInvalidPropertyValue();

// A position or size in twips that must fit the control's whole number; a value
// that does not fit raises errcode::kOverflow.
int checkedTwips(std::int64_t value);

// A colour is red + 256 x green + 65536 x blue; parts above 255 count as 255.
constexpr std::uint32_t rgbColour(int red, int green, int blue) {
    const auto part = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    return part(red) + 256u * part(green) + 65536u * part(blue);
}

// "No colour set": the bar is drawn in the platform's own colour.
inline constexpr std::uint32_t kDefaultBarColour = 0xFF000000u;
// The runs' bar colours: blue while working, green when done.
inline constexpr std::uint32_t kBarColourWorking = rgbColour(49, 102, 197);
inline constexpr std::uint32_t kBarColourDone = rgbColour(0, 102, 0);

enum class ControlKind {
    Label,
    CommandButton,
    Frame,
    OptionButton,
    CheckBox,
    TextBox,
    Grid,
    PictureBox,
    ProgressBar,
    Timer,
    ComboBox,
    TabStrip,
    StatusBar,
    CommonDialog,
};

// Whether a control of this kind has a caption a language file may set. The tab
// strip's texts are the captions of its tabs, which come from the catalogue; the
// strip itself has none.
constexpr bool kindHasCaption(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
        case ControlKind::CommandButton:
        case ControlKind::Frame:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
            return true;
        default:
            return false;
    }
}

// What every control has. Positions are in twips, relative to the container's
// inner top-left corner; `container` is the name of the control that holds it, or
// "Form1" for the window itself.
struct Control {
    explicit Control(ControlKind k) : kind(k) {}

    std::string name;
    int index = -1;  // member number within a control array; -1 outside arrays
    ControlKind kind;
    std::string container;
    std::string caption;  // only for kinds with a caption
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    bool enabled = true;

    bool hasCaption() const { return kindHasCaption(kind); }
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

struct Label : Control {
    Label() : Control(ControlKind::Label) {}
};

struct CommandButton : Control {
    CommandButton() : Control(ControlKind::CommandButton) {}
};

struct Frame : Control {
    Frame() : Control(ControlKind::Frame) {}
};

struct PictureBox : Control {
    PictureBox() : Control(ControlKind::PictureBox) {}
};

struct CommonDialog : Control {
    CommonDialog() : Control(ControlKind::CommonDialog) {}
};

struct TextBox : Control {
    TextBox() : Control(ControlKind::TextBox) {}
    std::string text;
};

struct OptionButton : Control {
    OptionButton() : Control(ControlKind::OptionButton) {}
    bool value = false;
};

inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;

struct CheckBox : Control {
    CheckBox() : Control(ControlKind::CheckBox) {}
    int value = kUnchecked;
};

// A drop-down list: the user picks one of the items.
struct ComboBox : Control {
    ComboBox() : Control(ControlKind::ComboBox) {}
    std::vector<std::string> items;
    int listIndex = -1;  // the selected item from 0; -1 for none
    std::string text;    // what the closed list shows
};

struct Timer : Control {
    Timer() : Control(ControlKind::Timer) {}
    int interval = 0;  // milliseconds
    // `enabled` of Control tells whether the timer runs.
};

struct ProgressBar : Control {
    ProgressBar() : Control(ControlKind::ProgressBar) {}
    int value = 0;  // 0..100
    std::uint32_t colour = kDefaultBarColour;
};

struct TabStrip : Control {
    static constexpr int kTabs = 5;
    TabStrip() : Control(ControlKind::TabStrip) {}
    std::string tabCaptions[kTabs];  // tabs 1..5 at 0..4
    int selectedItem = 1;            // 1..5
};

struct StatusBar : Control {
    StatusBar() : Control(ControlKind::StatusBar) {}
    bool simpleStyle = false;  // one text for the whole bar
    std::string simpleText;
};

// Run-time error numbers of the grid, as the classic grid control raises them.
// A table of text cells. Row 0 and column 0 are the fixed header row and column.
// Setting a row or column count keeps the cells that remain; new rows get the
// default height and new columns the default width. A row or column outside the
// table raises a run-time error (RuntimeError) as the grid control does.
struct Grid : Control {
    static constexpr int kDefaultRowHeight = 255;
    static constexpr int kDefaultColWidth = 975;

    Grid() : Control(ControlKind::Grid) {
        setCols(2);
        setRows(2);
    }

    int rows() const { return static_cast<int>(rowHeights_.size()); }
    int cols() const { return static_cast<int>(colWidths_.size()); }
    void setRows(int count);
    void setCols(int count);

    const std::string& textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const std::string& text);
    // The text of the current cell (row, col).
    const std::string& text() const { return textMatrix(row, col); }
    void setText(const std::string& text) { setTextMatrix(row, col, text); }

    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int rowHeight(int row) const;
    void setRowHeight(int row, int height);
    // The sum of every column's width.
    int sumColWidths() const;

    // Highlight of a row's cells in columns 1 and above (the selected file).
    bool highlighted(int row) const;
    void setHighlighted(int row, bool on);

    // The current cell, the end of the row selection and the first file row shown.
    int row = 0;
    int col = 0;
    int rowSel = 0;
    int topRow = 1;
    std::string toolTipText;
    bool hasFocus = false;  // asked for by the handlers; the view moves the focus

private:
    void checkRow(int row) const;
    void checkCol(int col) const;

    std::vector<std::vector<std::string>> cells_;  // [row][col]
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    std::vector<bool> highlighted_;
};

// Stands a list's row button (a password button) on file row `row`: its right edge
// `inset` twips inside the end of the grid's first five columns (the password
// column), its top 15 twips below the row's top. The lists place a new row's button
// and the layout moves them all with this one rule, so a button never jumps.
void placeOnGridRow(Control& button, const Grid& grid, int row, int inset);

// Members of a control array, numbered first..first+size-1. Asking for a number
// outside raises errcode::kNoSuchArrayElement.
template <typename T>
class ControlArray {
public:
    ControlArray(int first, int count) : first_(first), items_(static_cast<std::size_t>(count)) {
        for (int i = 0; i < count; ++i) items_[static_cast<std::size_t>(i)].index = first + i;
    }
    T& operator()(int index);
    const T& operator()(int index) const;
    int first() const { return first_; }
    int last() const { return first_ + static_cast<int>(items_.size()) - 1; }
    int count() const { return static_cast<int>(items_.size()); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    int first_;
    std::vector<T> items_;
};

[[noreturn]] void throwNoSuchArrayElement(int index);

template <typename T>
T& ControlArray<T>::operator()(int index) {
    if (index < first_ || index > last()) throwNoSuchArrayElement(index);
    return items_[static_cast<std::size_t>(index - first_)];
}

template <typename T>
const T& ControlArray<T>::operator()(int index) const {
    if (index < first_ || index > last()) throwNoSuchArrayElement(index);
    return items_[static_cast<std::size_t>(index - first_)];
}

}  // namespace pagemeld
