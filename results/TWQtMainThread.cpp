#include "results/TWQtMainThread.h"

#include <QCoreApplication>
#include <QThread>

TWQtMainThread::TWQtMainThread() {
    if (QCoreApplication* application = QCoreApplication::instance())
        moveToThread(application->thread());
}

TWQtMainThread& TWQtMainThread::instance() {
    static TWQtMainThread* mainThread = new TWQtMainThread();
    return *mainThread;
}

void TWQtMainThread::performOnMainThread(std::function<void()> work, bool waitUntilDone) {
    bool onMainThread = QThread::currentThread() == thread();
    if (onMainThread && waitUntilDone) {
        work();
        return;
    }
    QMetaObject::invokeMethod(this, std::move(work),
                              waitUntilDone ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}
