#pragma once

#include "engine/TWSearchHost.h"

#include <QObject>
#include <functional>

// The application's main (GUI) thread as a search's worker reaches it. Work from another
// thread is queued to the Qt event loop; with waitUntilDone the caller blocks until it has
// run. Work asked for on the main thread itself with waitUntilDone runs at once, so the main
// thread never waits on itself.
//
// The one instance is made on first use and never destroyed: a worker may still post to it
// while the application shuts down, and a queued call to a destroyed object would be worse
// than one that is never run.
class TWQtMainThread final : public QObject, public TWMainThread {
    Q_OBJECT
public:
    // Call first from the thread that runs the QApplication.
    static TWQtMainThread& instance();

    void performOnMainThread(std::function<void()> work, bool waitUntilDone) override;

private:
    TWQtMainThread();
};
