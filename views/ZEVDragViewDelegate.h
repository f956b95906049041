#pragma once

#include <QString>

namespace zev {

// Receives the path the drop panel takes from a drop.
class ZEVDragViewDelegate {
public:
    virtual ~ZEVDragViewDelegate() = default;

    // path: the first dropped item, absolute, never empty; passed exactly as
    // the drag carried it, neither checked nor normalised.
    virtual void updateDragFilePath(const QString& path) = 0;
};

} // namespace zev
