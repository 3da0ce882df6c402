// Every event the window handles, listed once. Each entry declares the window
// model's handler `control_event` with the parameters of its shape (form1.h), and
// the view connects the control's widget to it from the table built from the same
// list (form1_event_table.h). A handler that is not listed here is not declared,
// so its definition does not compile; a listed control without a widget is found
// by the window's wiring test.
//
// Shapes:
//   Plain    void control_event()
//   Indexed  void control_event(int Index)                    control arrays
//   Cell     void control_event(int mouseRow, int mouseCol)   grids; row 0 is the header
//   Mouse    void control_event(int Button, int Shift, double x, double y)   twips
//   Drop     void control_event(const std::vector<std::string>& files)
//   Unload   void control_event(int& Cancel, int UnloadMode)
//   Key      void control_event(std::int16_t& KeyCode, std::int16_t Shift)   a handler
//            that takes the key sets KeyCode to 0
//
// "Form" stands for the window itself.
#pragma once

#include <cstdint>

// clang-format off
#define PAGEMELD_FORM1_EVENTS(X)                 \
    X(Form, Resize, Plain)                       \
    X(Form, QueryUnload, Unload)                 \
    X(Form, KeyDown, Key)                        \
    X(tabOptions, Click, Plain)                  \
    X(cmb_languages, Click, Plain)               \
    X(updatetimer, Timer, Plain)                 \
    X(ab_lb4b, Click, Plain)                     \
    X(ab_lb6b, Click, Plain)                     \
    X(Label1, Click, Plain)                      \
    /* Split tab */                              \
    X(split_add_but, Click, Plain)               \
    X(split_rem_but, Click, Plain)               \
    X(but_passw, Click, Plain)                   \
    X(split_grid, Click, Plain)                  \
    X(split_grid, OLEDragDrop, Drop)             \
    X(split_grid, KeyDown, Key)                  \
    X(r_split_method1, Click, Plain)             \
    X(r_split_method2, Click, Plain)             \
    X(split_dest_source, Click, Plain)           \
    X(split_dest_other, Click, Plain)            \
    X(cmd_split_dest, Click, Plain)              \
    X(cmd_split_run, Click, Plain)               \
    X(tsplit_pb, Timer, Plain)                   \
    /* Merge tab */                              \
    X(mbut_add, Click, Plain)                    \
    X(mbut_rem, Click, Plain)                    \
    X(mbut_up, Click, Plain)                     \
    X(mbut_down, Click, Plain)                   \
    X(mbut_key, Click, Indexed)                  \
    X(merge_grid, Click, Cell)                   \
    X(merge_grid, DblClick, Cell)                \
    X(merge_grid, KeyDown, Key)                  \
    X(merge_grid, MouseMove, Mouse)              \
    X(merge_grid, Scroll, Plain)                 \
    X(merge_grid, OLEDragDrop, Drop)             \
    X(but_moutput, Click, Plain)                 \
    X(cmd_merge, Click, Plain)                   \
    X(tmerge_pb, Timer, Plain)                   \
    /* Mix tab */                                \
    X(x_but_add, Click, Plain)                   \
    X(x_but_rem, Click, Plain)                   \
    X(x_but_up, Click, Plain)                    \
    X(x_but_down, Click, Plain)                  \
    X(xbut_key, Click, Indexed)                  \
    X(mix_grid, Click, Cell)                     \
    X(mix_grid, OLEDragDrop, Drop)               \
    X(mix_grid, KeyDown, Key)                    \
    X(mix_dest_other, Click, Plain)              \
    X(mix_dest_source, Click, Plain)             \
    X(cmd_mix_dest, Click, Plain)                \
    X(cmd_mix_run, Click, Plain)                 \
    X(tmix_pb, Timer, Plain)
// clang-format on

#define PAGEMELD_HANDLER_Plain(name) void name()
#define PAGEMELD_HANDLER_Indexed(name) void name(int Index)
#define PAGEMELD_HANDLER_Cell(name) void name(int mouseRow, int mouseCol)
#define PAGEMELD_HANDLER_Mouse(name) void name(int Button, int Shift, double x, double y)
#define PAGEMELD_HANDLER_Drop(name) void name(const std::vector<std::string>& files)
#define PAGEMELD_HANDLER_Unload(name) void name(int& Cancel, int UnloadMode)
#define PAGEMELD_HANDLER_Key(name) void name(std::int16_t& KeyCode, std::int16_t Shift)

// Declares one handler inside the window model's class.
#define PAGEMELD_DECLARE_FORM1_HANDLER(control, event, shape) \
    PAGEMELD_HANDLER_##shape(control##_##event);
