#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "windowlogic/ConvertWorker.h"
#include "windowlogic/Dispatcher.h"
#include "windowlogic/OpQueue.h"

namespace quillery {

struct Settings;

// What a window does for a conversion run. Called on the user-interface thread only, in
// the order the run asked.
class RunView {
  public:
    virtual ~RunView() = default;
    // A modal message box with OK; returns once it is dismissed.
    virtual void ShowRunMessage(std::u16string_view text) = 0;
    // Greys (or enables) both panes and the commands of MenuStates' busy rule.
    virtual void SetBusy(bool busy) = 0;
    // The status hand-over: the bar shows `text` at once, and the panes are laid out
    // again from the current client area.
    virtual void ShowStatus(std::u16string_view text) = 0;
    virtual void SetOutputText(std::u16string_view crLfText) = 0;
    // The input pane's text, CR LF between lines.
    virtual std::u16string InputText() = 0;
};

// Runs conversions for a window: one at a time, on a worker thread that never touches
// the window. Whatever the run reports reaches the view through the dispatcher, in order;
// the status text goes through a mailbox that the hand-over reads when it is handled, so
// the bar always shows the newest message. A refused run leaves no 処理中 behind. Every
// member function is for the user-interface thread.
class RunController {
  public:
    RunController(Dispatcher& dispatcher, RunView& view, Settings& settings);
    // Stops a run under way and waits for the worker; nothing it posts reaches the view.
    ~RunController();
    RunController(const RunController&) = delete;
    RunController& operator=(const RunController&) = delete;

    // Starts a run with the record's settings unless one is under way or the window has
    // ended. Returns whether it started.
    bool Start();
    bool Active() const { return active_; }

    // The window has ended: nothing more of a run under way reaches it.
    void End();

    std::u16string StatusText() const;

    // What the worker reports to (a test may report as a worker would, from any thread).
    RunHost& Host();

  private:
    class WindowHost;

    void RunEnded();

    RunView& view_;
    Settings& settings_;
    OpQueue queue_;
    mutable std::mutex statusMutex_;
    std::u16string status_;
    bool active_ = false;
    bool ended_ = false;
    std::unique_ptr<WindowHost> host_;
    std::unique_ptr<ConvertWorker> worker_;  // last: it stops before the rest goes
};

// The request a run takes from the record.
RunRequest RunRequestFor(const Settings& settings);

// What the status bar shows once a run has ended, given what it shows: nothing after a run
// refused once it said 処理中 (an empty dictionary posts no statistics, and the bar must not
// go on claiming a run); otherwise what it shows.
std::u16string StatusAfterRun(std::u16string_view shown);

}  // namespace quillery
