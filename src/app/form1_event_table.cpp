#include "app/form1_event_table.h"

namespace pagemeld {
namespace {

template <typename... Calls>
struct Overloaded : Calls... {
    using Calls::operator()...;
};
// Clang 14 does not deduce an aggregate's template arguments by itself.
template <typename... Calls>
Overloaded(Calls...) -> Overloaded<Calls...>;

#define PAGEMELD_BIND_FORM1_EVENT(control, event, shape, thread)                   \
    EventBinding{#control, #event, EventBinding::shape{&Form1::control##_##event}, \
                 EventThread::thread},

const EventBinding kEvents[] = {PAGEMELD_FORM1_EVENTS(PAGEMELD_BIND_FORM1_EVENT)};

#undef PAGEMELD_BIND_FORM1_EVENT

}  // namespace

std::string EventBinding::name() const {
    return std::string(control) + "_" + event;
}

void EventBinding::call(Form1& form, EventArgs& args) const {
    std::visit(Overloaded{
                   [&](Plain h) { (form.*h)(); },
                   [&](Indexed h) { (form.*h)(args.index); },
                   [&](Cell h) { (form.*h)(args.row, args.col); },
                   [&](Mouse h) { (form.*h)(args.button, args.shift, args.x, args.y); },
                   [&](Drop h) { (form.*h)(args.files); },
                   [&](Unload h) { (form.*h)(args.cancel, args.unloadMode); },
                   [&](Key h) { (form.*h)(args.keyCode, static_cast<std::int16_t>(args.shift)); },
               },
               handler);
}

std::span<const EventBinding> form1Events() {
    return kEvents;
}

const EventBinding* findForm1Event(const std::string& name) {
    for (const EventBinding& binding : kEvents) {
        if (binding.name() == name) return &binding;
    }
    return nullptr;
}

}  // namespace pagemeld
