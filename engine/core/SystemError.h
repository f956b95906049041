#pragma once

#include <QString>

namespace zev {

// The texts of errno values and signals, for reasons shown to the user.
// strerror() and strsignal() may hand every thread the same buffer, and the
// checks and tools run on worker threads, so these read them through calls
// that share nothing.
class SystemError {
public:
    static QString text(int error);
    static QString signalText(int signalNumber);
};

} // namespace zev
