#pragma once

#include <QString>

namespace zev {

// Orders file names the way people count: runs of ASCII digits compare by
// their value, everything else by character code, and a name that ends first
// comes first. Digit runs are compared as texts (leading zeros dropped, then
// length, then digit by digit), so runs longer than any machine integer
// neither overflow nor lose precision: "000…0001" equals "1".
class NumericNameOrder {
public:
    // Negative, zero or positive as a sorts before, together with, or after b.
    static int compare(const QString& a, const QString& b);
    static bool lessThan(const QString& a, const QString& b) { return compare(a, b) < 0; }

private:
    static int compareDigitRuns(QStringView a, QStringView b);
};

} // namespace zev
