// One widget per control of the window model: making it, and copying the
// control's state into it. The copying never calls back into the model: the
// widgets' signals are blocked while their state is set.
#pragma once

#include <QPointer>
#include <string>

#include "app/controls.h"
#include "gui/twips.h"

class QFrame;
class QObject;
class QTimer;
class QWidget;

namespace pagemeld {

// The widget's object name: the control's name, with "_" + index for a member of
// a control array ("mbut_key_1").
std::string objectNameFor(const Control& control);

struct BoundControl {
    Control* control = nullptr;
    QPointer<QWidget> widget;  // none for a timer or the common dialog
    QPointer<QTimer> timer;    // a timer's own object
    QPointer<QFrame> pane;     // the tab strip's page area under its tabs
};

// Makes the widget (or timer) for `control` as a child of `parent`; a timer
// belongs to `owner`. A common dialog gets nothing: the dialogs come from the Ui
// service.
BoundControl createControlWidget(Control& control, QWidget* parent, QObject* owner);

// Copies the control's state into its widget: geometry, visibility, enabled state,
// caption and the kind's own values. A timer is started or stopped as the model
// says.
void syncControlWidget(const BoundControl& bound, const TwipsScale& scale);

// The progress bar's style sheet for a model colour; empty for the platform colour.
std::string progressBarStyle(std::uint32_t colour);

}  // namespace pagemeld
