// The window's event handlers by event name, as the view calls them: control name
// + "_" + event ("cmd_merge_Click", "tsplit_pb_Timer"). The model's own handlers are
// found by name; handlers that live elsewhere (the language list, the update
// timer) are added by whoever owns them.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pagemeld {

class Form1;

class HandlerTable {
public:
    // `index` is the member number for a control array, -1 otherwise.
    using Handler = std::function<void(int index)>;
    // Files dropped onto a control, as full paths.
    using DropHandler = std::function<void(const std::vector<std::string>& files)>;
    // A click on a grid's cell; row 0 is the header row.
    using CellHandler = std::function<void(int row, int col)>;
    // The mouse over a control: buttons and shift keys held, position in twips from
    // the control's top-left corner.
    using MouseHandler = std::function<void(int button, int shift, double x, double y)>;

    void set(const std::string& event, Handler handler);
    void set(const std::string& event, std::function<void()> handler);
    void setDrop(const std::string& event, DropHandler handler);
    void setCell(const std::string& event, CellHandler handler);
    void setMouse(const std::string& event, MouseHandler handler);

    const Handler* find(const std::string& event) const;
    const DropHandler* findDrop(const std::string& event) const;
    const CellHandler* findCell(const std::string& event) const;
    const MouseHandler* findMouse(const std::string& event) const;
    bool has(const std::string& event) const { return find(event) != nullptr; }
    std::vector<std::string> events() const;

private:
    std::map<std::string, Handler> handlers_;
    std::map<std::string, DropHandler> dropHandlers_;
    std::map<std::string, CellHandler> cellHandlers_;
    std::map<std::string, MouseHandler> mouseHandlers_;
};

// Adds every handler the window model has for its controls' events: Click, Change,
// Timer and Scroll without arguments, Click(index) for control arrays, Click(row,
// col) for grids, MouseMove(button, shift, x, y), and OLEDragDrop(files) for drop
// targets; plus the window's own tabOptions_Click,
// Form_Resize and Form_QueryUnload.
void addModelHandlers(Form1& form, HandlerTable& table);

}  // namespace pagemeld
