#include "core/ThreadHandOver.h"

#include <QRunnable>
#include <QThreadPool>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace zev {

namespace {

class HandedOverTask : public QRunnable {
public:
    explicit HandedOverTask(std::function<void()> work)
        : work_(std::move(work)) {}

    void run() override {
        // First, before any member is read.
        ThreadHandOver::received(this);
        work_();
    }

private:
    std::function<void()> work_;
};

} // namespace

void ThreadHandOver::sending(const void* object) {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void*>(object));
#else
    Q_UNUSED(object);
#endif
}

void ThreadHandOver::received(const void* object) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(object));
#else
    Q_UNUSED(object);
#endif
}

void ThreadHandOver::start(QThreadPool& pool, std::function<void()> work) {
    auto task = std::make_unique<HandedOverTask>(std::move(work));
    sending(task.get());
    pool.start(task.release());
}

} // namespace zev
