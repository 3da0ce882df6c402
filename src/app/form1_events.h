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
// Where a handler runs:
//   Window   on the window's thread; while a job runs it waits for the job to hand
//            the model over (between files or pieces, or when it asks something)
//   Job      off the window's thread, one job at a time: the runs and adding files
//            (each file's pages are counted), which can take long; a job reaches
//            the model's widgets only through `repaint` and the Ui service
//   Any      at once, even while a job runs: touches nothing a job uses
//
// "Form" stands for the window itself.
#pragma once

#include <cstdint>

// clang-format off
#define PAGEMELD_FORM1_EVENTS(X)                    \
    X(Form, Resize, Plain, Window)                  \
    X(Form, QueryUnload, Unload, Window)            \
    X(Form, KeyDown, Key, Window)                   \
    X(cmd_cancel, Click, Plain, Any)                \
    X(tabOptions, Click, Plain, Window)             \
    X(cmb_languages, Click, Plain, Window)          \
    X(updatetimer, Timer, Plain, Window)            \
    X(ab_lb4b, Click, Plain, Window)                \
    X(ab_lb6b, Click, Plain, Window)                \
    X(Label1, Click, Plain, Window)                 \
    X(chk_updatecheck, Click, Plain, Window)        \
    /* Split tab */                                 \
    X(split_add_but, Click, Plain, Job)             \
    X(split_rem_but, Click, Plain, Window)          \
    X(but_passw, Click, Plain, Window)              \
    X(split_grid, Click, Plain, Window)             \
    X(split_grid, OLEDragDrop, Drop, Job)           \
    X(split_grid, KeyDown, Key, Window)             \
    X(r_split_method1, Click, Plain, Window)        \
    X(r_split_method2, Click, Plain, Window)        \
    X(split_dest_source, Click, Plain, Window)      \
    X(split_dest_other, Click, Plain, Window)       \
    X(cmd_split_dest, Click, Plain, Window)         \
    X(cmd_split_run, Click, Plain, Job)             \
    X(tsplit_pb, Timer, Plain, Window)              \
    /* Merge tab */                                 \
    X(mbut_add, Click, Plain, Job)                  \
    X(mbut_rem, Click, Plain, Window)               \
    X(mbut_up, Click, Plain, Window)                \
    X(mbut_down, Click, Plain, Window)              \
    X(mbut_key, Click, Indexed, Window)             \
    X(merge_grid, Click, Cell, Window)              \
    X(merge_grid, DblClick, Cell, Window)           \
    X(merge_grid, KeyDown, Key, Window)             \
    X(merge_grid, MouseMove, Mouse, Window)         \
    X(merge_grid, Scroll, Plain, Window)            \
    X(merge_grid, OLEDragDrop, Drop, Job)           \
    X(but_moutput, Click, Plain, Window)            \
    X(cmd_merge, Click, Plain, Job)                 \
    X(tmerge_pb, Timer, Plain, Window)              \
    /* Mix tab */                                   \
    X(x_but_add, Click, Plain, Job)                 \
    X(x_but_rem, Click, Plain, Window)              \
    X(x_but_up, Click, Plain, Window)               \
    X(x_but_down, Click, Plain, Window)             \
    X(xbut_key, Click, Indexed, Window)             \
    X(mix_grid, Click, Cell, Window)                \
    X(mix_grid, OLEDragDrop, Drop, Job)             \
    X(mix_grid, KeyDown, Key, Window)               \
    X(mix_dest_other, Click, Plain, Window)         \
    X(mix_dest_source, Click, Plain, Window)        \
    X(cmd_mix_dest, Click, Plain, Window)           \
    X(cmd_mix_run, Click, Plain, Job)               \
    X(tmix_pb, Timer, Plain, Window)
// clang-format on

#define PAGEMELD_HANDLER_Plain(name) void name()
#define PAGEMELD_HANDLER_Indexed(name) void name(int Index)
#define PAGEMELD_HANDLER_Cell(name) void name(int mouseRow, int mouseCol)
#define PAGEMELD_HANDLER_Mouse(name) void name(int Button, int Shift, double x, double y)
#define PAGEMELD_HANDLER_Drop(name) void name(const std::vector<std::string>& files)
#define PAGEMELD_HANDLER_Unload(name) void name(int& Cancel, int UnloadMode)
#define PAGEMELD_HANDLER_Key(name) void name(std::int16_t& KeyCode, std::int16_t Shift)

// Declares one handler inside the window model's class.
#define PAGEMELD_DECLARE_FORM1_HANDLER(control, event, shape, thread) \
    PAGEMELD_HANDLER_##shape(control##_##event);
