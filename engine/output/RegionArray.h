#pragma once

#include <QJsonArray>
#include <QJsonValue>
#include <QRect>
#include <QSize>
#include <optional>

namespace zev {

// A region as the players' descriptions write it: [x, y, width, height].
struct RegionArray {
    static QJsonArray toJson(const QRect& rect) {
        return QJsonArray{rect.x(), rect.y(), rect.width(), rect.height()};
    }

    // Nothing unless value is an array of four whole numbers naming a
    // non-empty region inside a frame of the given size.
    static std::optional<QRect> fromJson(const QJsonValue& value, QSize frame) {
        const QJsonArray array = value.toArray();
        if (array.size() != 4)
            return std::nullopt;
        int numbers[4] = {};
        for (int i = 0; i < 4; ++i) {
            const double number = array.at(i).toDouble(-1);
            if (number < 0 || number > kLargestSide || number != int(number))
                return std::nullopt;
            numbers[i] = int(number);
        }
        const QRect rect(numbers[0], numbers[1], numbers[2], numbers[3]);
        if (rect.isEmpty() || !QRect(QPoint(0, 0), frame).contains(rect))
            return std::nullopt;
        return rect;
    }

    // Larger than any video a player decodes, small enough that no sum of
    // two overflows.
    static constexpr int kLargestSide = 65536;
};

} // namespace zev
