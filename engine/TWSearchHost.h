#pragma once

#include "engine/TWStatusText.h"

#include <functional>

// The front end's main thread, as a search's worker reaches it. Lives as long as the process.
class TWMainThread {
public:
    virtual ~TWMainThread() = default;
    // Runs `work` on the main thread; with `waitUntilDone`, returns only once it has run.
    virtual void performOnMainThread(std::function<void()> work, bool waitUntilDone) = 0;
};

// The window side of one search, driven by its controller on the main thread only. A window
// that closes tells its controller, which then stops calling it.
class TWSearchWindow {
public:
    virtual ~TWSearchWindow() = default;

    virtual void setStatusFieldText(const TWStatusText& status) = 0;
    virtual void setStartStopButtonEnabled(bool enabled) = 0;
    // A search started: the button shows the stop image and is enabled, the files table is
    // reloaded, the groups table shows no rows, the progress indicator turns.
    virtual void searchDidStart() = 0;
    // A search ended: the progress indicator stops, the groups table shows the controller's
    // groups, the button shows the redo image and is enabled.
    virtual void searchDidEnd() = 0;
};
