// The main window: one widget per control of the window model, placed at the
// model's geometry. User actions are handed to the model's handlers by event name;
// after every handler the widgets show the model's state again. No decision is
// taken here.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <chrono>
#include <set>
#include <thread>

#include "gui/control_widgets.h"
#include "gui/twips.h"

class QButtonGroup;
class QScrollArea;

namespace pagemeld {
struct EventArgs;
struct EventBinding;
struct Grid;
struct OptionButton;
class GridWidget;
}  // namespace pagemeld

namespace pagemeld {

class Form1;

class MainWindow : public QMainWindow {
public:
    // Builds the widgets from the model's current state. `twipsPerPixel` 0 takes the
    // primary screen's.
    explicit MainWindow(Form1& form, double twipsPerPixel = 0);
    ~MainWindow() override;

    // Runs the handler named `event` ("tabOptions_Click"; for a control array, of
    // member `index`), then shows the model's state. Returns false when there is no
    // such handler or the program is ending.
    bool invoke(const std::string& event, int index = -1);

    // The model's events that no widget or window event leads to: always empty in a
    // sound build.
    std::vector<std::string> unwiredEvents() const;

    // Told of every event just before its handler runs.
    std::function<void(const EventBinding&)> onEvent;

    // Copies every control's state, the caption and the window's size into the
    // widgets.
    void syncFromModel();

    const TwipsScale& scale() const { return scale_; }
    // The window's client size in pixels for an outer size in twips, and back.
    QSize clientSizeFor(int windowWidth, int windowHeight) const;
    QSize windowSizeFor(const QSize& clientSize) const;
    // The client size the window takes for the model's outer size in twips: all of
    // it where the screen's free area holds it, else as much as fits, the rest
    // scrolled.
    QSize shownSizeFor(int windowWidth, int windowHeight) const;

    // True once the program has been told to end.
    bool exiting() const { return exiting_; }

    // True while a job (a run, an addition of files) works off the window's thread.
    bool jobRunning() const { return jobRunning_; }

    // Runs `call` on the window's thread and returns when it is done. From a job, the
    // model is handed over for that time: events that waited for it are handled
    // and the window shows the model's state first.
    void onWindowThread(const std::function<void()>& call);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void connectControl(const BoundControl& bound);
    void connectGrid(Grid& grid, GridWidget* table, const EventBinding* click);
    // The model's handler for this event of a control, counted as wired; null when
    // the model has none.
    const EventBinding* eventOf(const std::string& control, const char* event);
    bool dispatch(const EventBinding& binding, EventArgs args);
    // Runs `action`, which touches the model, now; while a job holds the model, when
    // the job hands it over or ends.
    void withModel(std::function<void()> action);
    void startJob(const EventBinding& binding, EventArgs args);
    void finishJob(bool exitRequested);
    void runDeferred();
    // A job's progress: the bars shown, at most every few hundredths of a second.
    void showJobProgress();
    // While a job runs, the lists, options and buttons of the three tabs cannot be
    // used and Cancel is shown.
    void applyJobState();
    bool lockedDuringJob(const Control& control) const;
    // As dispatch; `args` shows what the handler changed (a key it took).
    bool dispatchWith(const EventBinding& binding, EventArgs& args);
    void selectOption(OptionButton& option);
    // Runs a handler's body: an end of the program it asks for closes the window,
    // an error that escapes it goes to the error handler; then the state is shown.
    bool run(const std::string& procedure, const std::function<void()>& body);
    // The same without showing the state, on any thread: true when the program was
    // asked to end.
    bool trapped(const std::string& procedure, const std::function<void()>& body);
    // The end of the program asked for from inside a handler.
    void exitApplication();
    void applyWindowSize();
    // The largest client size whose window fits the screen's free area, and whether
    // that area is narrower or lower than the smallest window.
    struct ScreenRoom {
        QSize client;
        bool narrow = false;
        bool low = false;
    };
    ScreenRoom screenRoom() const;
    // The room the scroll bars take beside the client on such a screen.
    QSize scrollBarsFor(const ScreenRoom& room) const;
    // Moves the window back into the screen's free area where it sticks out.
    void keepOnScreen();

    Form1& form_;
    TwipsScale scale_;
    std::set<const EventBinding*> wired_;
    std::vector<BoundControl> bound_;
    std::map<std::string, QWidget*> containers_;
    QScrollArea* scroll_ = nullptr;  // over the client area, for screens too small for it
    QWidget* client_ = nullptr;
    bool screenFollowed_ = false;
    std::map<std::string, QButtonGroup*> optionGroups_;
    std::thread job_;
    bool jobRunning_ = false;
    bool handedOver_ = false;  // a job waits while the window's thread uses the model
    bool closeAfterJob_ = false;
    bool destroying_ = false;
    std::vector<std::function<void()>> deferred_;
    std::chrono::steady_clock::time_point lastProgress_;  // the job's thread only
    bool inResize_ = false;
    bool exiting_ = false;
    bool closing_ = false;
};

}  // namespace pagemeld
