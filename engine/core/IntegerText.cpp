#include "core/IntegerText.h"

#include <limits>

namespace zev {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

qsizetype skipSpace(const QString& text, qsizetype from) {
    while (from < text.size() && text.at(from).isSpace())
        ++from;
    return from;
}

} // namespace

IntegerText::Scan IntegerText::scan(const QString& text) {
    Scan result;
    qsizetype i = skipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    constexpr qint64 maxValue = std::numeric_limits<qint64>::max();
    constexpr qint64 minValue = std::numeric_limits<qint64>::min();
    bool saturated = false;
    for (; i < text.size() && isAsciiDigit(text.at(i)); ++i) {
        result.hasDigits = true;
        if (saturated)
            continue;
        const int digit = text.at(i).unicode() - u'0';
        // Accumulate towards the sign's side so that qint64 min is reachable.
        if (negative) {
            if (result.value < (minValue + digit) / 10) {
                result.value = minValue;
                saturated = true;
            } else {
                result.value = result.value * 10 - digit;
            }
        } else if (result.value > (maxValue - digit) / 10) {
            result.value = maxValue;
            saturated = true;
        } else {
            result.value = result.value * 10 + digit;
        }
    }
    result.end = i;
    return result;
}

bool IntegerText::isInteger(const QString& text) {
    if (text.isEmpty())
        return false;
    const Scan s = scan(text);
    return s.hasDigits && skipSpace(text, s.end) == text.size();
}

qint64 IntegerText::integerValue(const QString& text) {
    const Scan s = scan(text);
    return s.hasDigits ? s.value : 0;
}

} // namespace zev
