#include "core/NumericNameOrder.h"

namespace zev {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

qsizetype digitRunEnd(const QString& text, qsizetype from) {
    while (from < text.size() && isAsciiDigit(text.at(from)))
        ++from;
    return from;
}

QStringView withoutLeadingZeros(QStringView run) {
    qsizetype i = 0;
    while (i < run.size() && run.at(i) == u'0')
        ++i;
    return run.mid(i);
}

int sign(qsizetype value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

} // namespace

int NumericNameOrder::compareDigitRuns(QStringView a, QStringView b) {
    const QStringView x = withoutLeadingZeros(a);
    const QStringView y = withoutLeadingZeros(b);
    if (x.size() != y.size())
        return sign(x.size() - y.size());
    for (qsizetype i = 0; i < x.size(); ++i) {
        if (x.at(i) != y.at(i))
            return x.at(i) < y.at(i) ? -1 : 1;
    }
    return 0;
}

int NumericNameOrder::compare(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isAsciiDigit(a.at(i)) && isAsciiDigit(b.at(j))) {
            const qsizetype endA = digitRunEnd(a, i);
            const qsizetype endB = digitRunEnd(b, j);
            const int order =
                compareDigitRuns(QStringView(a).mid(i, endA - i), QStringView(b).mid(j, endB - j));
            if (order != 0)
                return order;
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j) ? -1 : 1;
        ++i;
        ++j;
    }
    return sign((a.size() - i) - (b.size() - j));
}

} // namespace zev
