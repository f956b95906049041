#pragma once

#include <QString>
#include <QtGlobal>

namespace zev {

// Reading integers out of texts the way the frame-rate field and frame names
// are read: white space (line breaks included) around the number, one sign,
// ASCII decimal digits.
class IntegerText {
public:
    // True when the text holds exactly one decimal integer, optionally signed,
    // with nothing but white space or line breaks before or after it. A null or
    // empty text is not an integer. A digit run of any length still counts as
    // an integer; only its value saturates (see integerValue).
    static bool isInteger(const QString& text);

    // Skips leading white space, reads an optional sign and the digits after
    // it, ignores the rest; 0 when there are no digits. A value beyond the
    // signed 64-bit range saturates at its nearest end (qint64 max or min)
    // instead of wrapping, so "99999999999999999999" is a huge frame rate and
    // fails the range check rather than turning into some small number.
    static qint64 integerValue(const QString& text);

private:
    struct Scan {
        bool hasDigits = false;
        qint64 value = 0;
        qsizetype end = 0; // index just past the last digit read
    };
    static Scan scan(const QString& text);
};

} // namespace zev
