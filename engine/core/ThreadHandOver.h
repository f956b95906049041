#pragma once

#include <functional>

class QThreadPool;

namespace zev {

// Hand-overs between threads that ThreadSanitizer can follow.
//
// Qt's locks wait on futexes the checker cannot see, and Debian's Qt is not
// built for it; so whatever one thread builds and another takes through Qt
// (a task through a thread pool, an event through the event queue) looks
// unordered to it, although Qt orders it. Where the engine hands something
// over through Qt, it says so here: the sender announces the object once it
// is complete, the receiver takes it before it reads it. Outside the checker's
// build these calls are empty.
class ThreadHandOver {
public:
    // Everything this thread did so far is seen by a thread that then calls
    // received() with the same object.
    static void sending(const void* object);
    static void received(const void* object);

    // QThreadPool::start(), with the task handed over as above. The pool owns
    // and deletes the task.
    static void start(QThreadPool& pool, std::function<void()> work);
};

} // namespace zev
