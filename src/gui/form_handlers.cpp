#include "gui/form_handlers.h"

#include "app/form1.h"

namespace pagemeld {

void HandlerTable::set(const std::string& event, Handler handler) {
    handlers_[event] = std::move(handler);
}

void HandlerTable::set(const std::string& event, std::function<void()> handler) {
    handlers_[event] = [handler = std::move(handler)](int) { handler(); };
}

void HandlerTable::setDrop(const std::string& event, DropHandler handler) {
    dropHandlers_[event] = std::move(handler);
}

void HandlerTable::setCell(const std::string& event, CellHandler handler) {
    cellHandlers_[event] = std::move(handler);
}

void HandlerTable::setMouse(const std::string& event, MouseHandler handler) {
    mouseHandlers_[event] = std::move(handler);
}

const HandlerTable::CellHandler* HandlerTable::findCell(const std::string& event) const {
    const auto it = cellHandlers_.find(event);
    return it == cellHandlers_.end() || !it->second ? nullptr : &it->second;
}

const HandlerTable::MouseHandler* HandlerTable::findMouse(const std::string& event) const {
    const auto it = mouseHandlers_.find(event);
    return it == mouseHandlers_.end() || !it->second ? nullptr : &it->second;
}

const HandlerTable::Handler* HandlerTable::find(const std::string& event) const {
    const auto it = handlers_.find(event);
    return it == handlers_.end() || !it->second ? nullptr : &it->second;
}

const HandlerTable::DropHandler* HandlerTable::findDrop(const std::string& event) const {
    const auto it = dropHandlers_.find(event);
    return it == dropHandlers_.end() || !it->second ? nullptr : &it->second;
}

std::vector<std::string> HandlerTable::events() const {
    std::vector<std::string> names;
    for (const auto& [name, handler] : handlers_) names.push_back(name);
    for (const auto& [name, handler] : dropHandlers_) names.push_back(name);
    for (const auto& [name, handler] : cellHandlers_) names.push_back(name);
    for (const auto& [name, handler] : mouseHandlers_) names.push_back(name);
    return names;
}

namespace {

// Every control of the window that can have event handlers. (clang-format does not
// settle on one layout for this list.)
// clang-format off
#define PAGEMELD_FORM_CONTROLS(X)                                                                   \
    X(pict_logo)                                                                                    \
    X(pict_fundal)                                                                                  \
    X(cmb_languages)                                                                                \
    X(fraSplit)                                                                                     \
    X(fraMerge)                                                                                     \
    X(fraMix)                                                                                       \
    X(fraAbout)                                                                                     \
    X(fraExtras)                                                                                    \
    X(status)                                                                                       \
    X(fra_split_pict)                                                                               \
    X(split_grid)                                                                                   \
    X(but_passw)                                                                                    \
    X(split_add_but)                                                                                \
    X(pict_passw)                                                                                   \
    X(frm_split_dest)                                                                               \
    X(split_dest_other)                                                                             \
    X(split_dest_source)                                                                            \
    X(txt_split_filename)                                                                           \
    X(txt_split_dest)                                                                               \
    X(cmd_split_dest)                                                                               \
    X(lbl_split_basefilename)                                                                       \
    X(frm_split_method)                                                                             \
    X(r_split_method1)                                                                              \
    X(txt_split_meth1)                                                                              \
    X(lbl_split_pages)                                                                              \
    X(r_split_method2)                                                                              \
    X(txt_split_range)                                                                              \
    X(lbl_split_demo)                                                                               \
    X(txt_split_meth3)                                                                              \
    X(txt_split_meth3_s)                                                                            \
    X(Label14)                                                                                      \
    X(r_split_method4)                                                                              \
    X(txt_split_meth4)                                                                              \
    X(txt_split_meth4_s)                                                                            \
    X(Label15)                                                                                      \
    X(splitpb)                                                                                      \
    X(tsplit_pb)                                                                                    \
    X(pict_merge)                                                                                   \
    X(merge_grid)                                                                                   \
    X(mbut_add)                                                                                     \
    X(mbut_rem)                                                                                     \
    X(mbut_up)                                                                                      \
    X(mbut_down)                                                                                    \
    X(merge_output)                                                                                 \
    X(but_moutput)                                                                                  \
    X(moutput_file)                                                                                 \
    X(lbl_mfile)                                                                                    \
    X(cmd_merge)                                                                                    \
    X(mergepb)                                                                                      \
    X(tmerge_pb)                                                                                    \
    X(updatetimer)                                                                                  \
    X(fra_mix_pict)                                                                                 \
    X(mix_grid)                                                                                     \
    X(x_but_add)                                                                                    \
    X(x_but_up)                                                                                     \
    X(x_but_down)                                                                                   \
    X(frm_mix_method)                                                                               \
    X(frm_mix_method_pict)                                                                          \
    X(frm_mix_meth_doc1)                                                                            \
    X(r_mix1_method1)                                                                               \
    X(r_mix1_method1_e2)                                                                            \
    X(r_mix1_method1_lbl2)                                                                          \
    X(r_mix1_method2)                                                                               \
    X(r_mix1_method2_e1)                                                                            \
    X(r_mix1_method2_e2)                                                                            \
    X(frm_mix_meth_doc2)                                                                            \
    X(r_mix2_method1)                                                                               \
    X(r_mix2_method1_e1)                                                                            \
    X(r_mix2_method1_e2)                                                                            \
    X(r_mix2_method2)                                                                               \
    X(r_mix2_method2_e1)                                                                            \
    X(r_mix2_method2_e2)                                                                            \
    X(frm_mix_dest)                                                                                 \
    X(mix_dest_other)                                                                               \
    X(mix_dest_source)                                                                              \
    X(txt_mix_dest)                                                                                 \
    X(txt_mix_filename)                                                                             \
    X(cmd_mix_dest)                                                                                 \
    X(lbl_mix_dest)                                                                                 \
    X(cmd_mix_run)                                                                                  \
    X(mixpb)                                                                                        \
    X(tmix_pb)                                                                                      \
    X(lblabout)                                                                                     \
    X(ab_lb3)                                                                                       \
    X(ab_lb4a)                                                                                      \
    X(ab_lb4b)                                                                                      \
    X(ab_lb5a)                                                                                      \
    X(ab_lb6b)                                                                                      \
    X(pict_extras)                                                                                  \
    X(lbl_extras2)                                                                                  \
    X(Label2)                                                                                       \
    X(Label3)                                                                                       \
    X(Label4)                                                                                       \
    X(Label5)                                                                                       \
    X(Label6)                                                                                       \
    X(Label7)                                                                                       \
    X(Label8)                                                                                       \
    X(Label9)                                                                                       \
    X(Label10)                                                                                      \
    X(Label11)                                                                                      \
    X(Label12)                                                                                      \
    X(Label1)

// clang-format on
#define PAGEMELD_FORM_ARRAYS(X) X(mbut_key) X(xbut_key)

#define PAGEMELD_PLAIN_EVENT(control, event)                                     \
    if constexpr (requires { form.control##_##event(); }) {                      \
        table.set(#control "_" #event,                                           \
                  std::function<void()>([&form] { form.control##_##event(); })); \
    }

#define PAGEMELD_CONTROL_EVENTS(control)                                                           \
    PAGEMELD_PLAIN_EVENT(control, Click)                                                           \
    PAGEMELD_PLAIN_EVENT(control, DblClick)                                                        \
    PAGEMELD_PLAIN_EVENT(control, Change)                                                          \
    PAGEMELD_PLAIN_EVENT(control, Timer)                                                           \
    PAGEMELD_PLAIN_EVENT(control, Scroll)                                                          \
    if constexpr (requires(const std::vector<std::string>& files) {                                \
                      form.control##_OLEDragDrop(files);                                           \
                  }) {                                                                             \
        table.setDrop(#control "_OLEDragDrop", [&form](const std::vector<std::string>& files) {    \
            form.control##_OLEDragDrop(files);                                                     \
        });                                                                                        \
    }                                                                                              \
    if constexpr (requires { form.control##_Click(1, 1); }) {                                      \
        table.setCell(#control "_Click",                                                           \
                      [&form](int row, int col) { form.control##_Click(row, col); });              \
    }                                                                                              \
    if constexpr (requires { form.control##_MouseMove(0, 0, 0.0, 0.0); }) {                        \
        table.setMouse(#control "_MouseMove", [&form](int button, int shift, double x, double y) { \
            form.control##_MouseMove(button, shift, x, y);                                         \
        });                                                                                        \
    }

#define PAGEMELD_ARRAY_EVENTS(control)                                                         \
    if constexpr (requires { form.control##_Click(1); }) {                                     \
        table.set(#control "_Click",                                                           \
                  HandlerTable::Handler([&form](int index) { form.control##_Click(index); })); \
    }

// A template, so that asking for a handler the model does not have is no error:
// the event simply has no handler yet.
template <typename Form>
void addHandlersOf(Form& form, HandlerTable& table) {
    PAGEMELD_FORM_CONTROLS(PAGEMELD_CONTROL_EVENTS)
    PAGEMELD_FORM_ARRAYS(PAGEMELD_ARRAY_EVENTS)
}

#undef PAGEMELD_ARRAY_EVENTS
#undef PAGEMELD_CONTROL_EVENTS
#undef PAGEMELD_PLAIN_EVENT
#undef PAGEMELD_FORM_ARRAYS
#undef PAGEMELD_FORM_CONTROLS

}  // namespace

void addModelHandlers(Form1& form, HandlerTable& table) {
    addHandlersOf(form, table);
    table.set("tabOptions_Click", std::function<void()>([&form] { form.tabOptions_Click(); }));
    table.set("Form_Resize", std::function<void()>([&form] { form.Form_Resize(); }));
    table.set("Form_QueryUnload", std::function<void()>([&form] {
                  int cancel = 0;
                  form.Form_QueryUnload(cancel, 0);
              }));
}

}  // namespace pagemeld
