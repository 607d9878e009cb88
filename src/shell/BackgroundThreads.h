#pragma once
// Every background thread of the client registers here. Before the shared
// instances are destroyed, stopAll() asks each thread to stop (its stop
// function aborts its requests), then joins it within a bound, so no thread
// ever reads an instance that is gone.

#include <QThread>
#include <functional>

namespace BackgroundThreads {

constexpr int kJoinTimeoutMs = 5000;

// Registers a running thread; `stop` is called on the GUI thread at shut-down
// (it should request interruption and abort network requests). The thread
// is removed from the registry when it finishes.
void add(QThread *thread, std::function<void()> stop = {});
// Asks every registered thread to stop and joins it, each within timeoutMs.
// Returns the number of threads that did not finish in time.
int stopAll(int timeoutMs = kJoinTimeoutMs);
int count();

} // namespace BackgroundThreads
