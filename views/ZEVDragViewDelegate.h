#pragma once

#include <QString>
#include <QStringList>

namespace zev {

// Receives the paths the drop panel takes from a drop.
class ZEVDragViewDelegate {
public:
    virtual ~ZEVDragViewDelegate() = default;

    // path: the dropped item when the drop carried one, absolute, never
    // empty; passed exactly as the drag carried it, neither checked nor
    // normalised.
    virtual void updateDragFilePath(const QString& path) = 0;

    // paths: every item of a drop that carried more than one, in the drag's
    // order, each as updateDragFilePath() would get it. A delegate that has
    // no use for more than one takes the first, as before.
    virtual void updateDragFilePaths(const QStringList& paths) { updateDragFilePath(paths.constFirst()); }
};

} // namespace zev
