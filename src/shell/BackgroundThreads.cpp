#include "BackgroundThreads.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <vector>

namespace BackgroundThreads {
namespace {

struct Entry {
    QPointer<QThread> thread;
    std::function<void()> stop;
};

QMutex g_lock;
std::vector<Entry> g_threads;

void prune()
{
    std::erase_if(g_threads, [](const Entry &e) { return e.thread.isNull() || e.thread->isFinished(); });
}

} // namespace

void add(QThread *thread, std::function<void()> stop)
{
    QMutexLocker l(&g_lock);
    prune();
    g_threads.push_back({thread, std::move(stop)});
}

int count()
{
    QMutexLocker l(&g_lock);
    prune();
    return int(g_threads.size());
}

int stopAll(int timeoutMs)
{
    std::vector<Entry> threads;
    {
        QMutexLocker l(&g_lock);
        prune();
        threads.swap(g_threads);
    }
    for (Entry &e : threads) {
        if (e.thread.isNull())
            continue;
        e.thread->requestInterruption();
        e.thread->quit();
        if (e.stop)
            e.stop();
    }
    int stuck = 0;
    for (Entry &e : threads) {
        if (e.thread.isNull())
            continue;
        if (!e.thread->wait(QDeadlineTimer(timeoutMs)))
            ++stuck;
    }
    return stuck;
}

} // namespace BackgroundThreads
