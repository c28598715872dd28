#pragma once
// Runs a piece of work on the thread a QObject lives in: at once when the
// caller is already there, else queued to that object. Queued work is
// dropped when the object is destroyed before it runs, so the work may use
// the object without a further guard. Every callback that the core or a
// worker thread raises reaches the windows this way.
#include <utility>

#include <QMetaObject>
#include <QObject>
#include <QThread>

template <class Work>
void onThreadOf(QObject* context, Work work)
{
    if (QThread::currentThread() == context->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}
