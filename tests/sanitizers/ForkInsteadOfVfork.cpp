// Linked into every program of the ThreadSanitizer build, and only there.
//
// QProcess starts a child with clone(CLONE_VM | CLONE_VFORK): the child runs
// in the parent's memory until it executes the tool. ThreadSanitizer's clone
// interceptor handles every clone as a fork, so the child, still in the
// parent's memory and on the parent thread's state, undoes the bookkeeping
// the parent then undoes a second time. From then on that thread's locks are
// invisible to the checker (every later hand-over to or from it is reported
// as a race) and it may stop on an internal check. Asked without shared
// memory the clone is a plain fork, which the checker models correctly; the
// child still only sets up its pipes and executes the tool.
#include <cstdarg>
#include <sched.h>
#include <sys/types.h>

extern "C" int __interceptor_clone(int (*entry)(void*), void* stack, int flags, void* argument, ...);

extern "C" int clone(int (*entry)(void*), void* stack, int flags, void* argument, ...) {
    va_list more;
    va_start(more, argument);
    auto* parentTid = va_arg(more, pid_t*);
    void* tls = va_arg(more, void*);
    auto* childTid = va_arg(more, pid_t*);
    va_end(more);
    if ((flags & CLONE_VM) != 0 && (flags & CLONE_VFORK) != 0)
        flags &= ~(CLONE_VM | CLONE_VFORK);
    return __interceptor_clone(entry, stack, flags, argument, parentTid, tls, childTid);
}
