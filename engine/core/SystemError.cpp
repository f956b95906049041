#include "core/SystemError.h"

#include <array>
#include <cstring>

namespace zev {

QString SystemError::text(int error) {
    std::array<char, 256> buffer{};
    // GNU's strerror_r returns either a static text or one written into the buffer.
    return QString::fromLocal8Bit(strerror_r(error, buffer.data(), buffer.size()));
}

QString SystemError::signalText(int signalNumber) {
    if (const char* description = sigdescr_np(signalNumber))
        return QString::fromLocal8Bit(description);
    return QStringLiteral("Unknown signal %1").arg(signalNumber);
}

} // namespace zev
