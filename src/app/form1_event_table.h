// The window's events as data, built from PAGEMELD_FORM1_EVENTS: what the view
// connects its widgets to and what the wiring test walks.
#pragma once

#include <span>
#include <string>
#include <variant>
#include <vector>

#include "app/form1.h"

namespace pagemeld {

// What a widget's event carries; each handler takes the parts its shape names.
struct EventArgs {
    int index = -1;  // member of a control array
    int row = 0;     // grid cell; row 0 is the header row
    int col = 0;
    int button = 0;  // mouse: 1 left, 2 right, 4 middle
    int shift = 0;   // 1 Shift, 2 Ctrl, 4 Alt
    double x = 0;    // twips from the control's top-left corner
    double y = 0;
    std::vector<std::string> files;  // dropped files, full paths
    int cancel = 0;                  // a closing handler may set it
    int unloadMode = 0;
    std::int16_t keyCode = 0;  // a key as the key events number it (app/key_codes.h)
};

// Where a handler runs (see form1_events.h).
enum class EventThread { Window, Job, Any };

struct EventBinding {
    using Plain = void (Form1::*)();
    using Indexed = void (Form1::*)(int);
    using Cell = void (Form1::*)(int, int);
    using Mouse = void (Form1::*)(int, int, double, double);
    using Drop = void (Form1::*)(const std::vector<std::string>&);
    using Unload = void (Form1::*)(int&, int);
    using Key = void (Form1::*)(std::int16_t&, std::int16_t);

    const char* control;  // "Form" for the window itself
    const char* event;    // "Click", "Timer", ...
    std::variant<Plain, Indexed, Cell, Mouse, Drop, Unload, Key> handler;
    EventThread thread;

    // "control_event", the handler's name.
    std::string name() const;
    void call(Form1& form, EventArgs& args) const;
};

// Every event of the window, in the order of the list.
std::span<const EventBinding> form1Events();

// The binding of "control_event", or null.
const EventBinding* findForm1Event(const std::string& name);

}  // namespace pagemeld
