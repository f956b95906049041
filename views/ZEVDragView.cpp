#include "ZEVDragView.h"

#include "ZEVDragViewDelegate.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

namespace zev {

namespace {

// Like a list of file names: present only when every dragged item is a local
// file, though it may hold no item at all.
bool carriesFileNames(const QMimeData* mimeData) {
    if (!mimeData || !mimeData->hasUrls())
        return false;
    const QList<QUrl> urls = mimeData->urls();
    return std::all_of(urls.cbegin(), urls.cend(), [](const QUrl& url) { return url.isLocalFile(); });
}

// Every item's path, but none at all when the first is empty: a drop whose
// first item names nothing hands nothing on. Empty items further on are left
// out.
QStringList fileNames(const QMimeData* mimeData) {
    if (!carriesFileNames(mimeData))
        return {};
    const QList<QUrl> urls = mimeData->urls();
    if (urls.isEmpty() || urls.constFirst().toLocalFile().isEmpty())
        return {};
    QStringList paths;
    for (const QUrl& url : urls) {
        if (const QString path = url.toLocalFile(); !path.isEmpty())
            paths.append(path);
    }
    return paths;
}

} // namespace

ZEVDragView::ZEVDragView(QWidget* parent)
    : QWidget(parent) {
    setAcceptDrops(true);
    // Lets a style sheet give the panel its frame and fill; the panel draws
    // nothing of its own.
    setAttribute(Qt::WA_StyledBackground);
}

ZEVDragViewDelegate* ZEVDragView::delegate() const {
    if (delegateIsObject_ && !delegateObject_)
        return nullptr;
    return delegate_;
}

void ZEVDragView::setDelegate(ZEVDragViewDelegate* delegate) {
    delegate_ = delegate;
    delegateObject_ = dynamic_cast<QObject*>(delegate);
    delegateIsObject_ = !delegateObject_.isNull();
}

// The answer given here holds for as long as the drag stays over the panel:
// Qt repeats it for every move, and the panel shows no hover highlight.
void ZEVDragView::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesFileNames(event->mimeData()) && event->possibleActions().testFlag(Qt::LinkAction)) {
        event->setDropAction(Qt::LinkAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// A released drop is always taken, even when it yields no path, so the drag
// source never animates a rejected drop back. (Qt releases a drop only over
// a widget that took the drag on entry.)
void ZEVDragView::dropEvent(QDropEvent* event) {
    const QStringList paths = fileNames(event->mimeData());
    if (ZEVDragViewDelegate* receiver = delegate(); receiver && !paths.isEmpty()) {
        if (paths.size() == 1)
            receiver->updateDragFilePath(paths.constFirst());
        else
            receiver->updateDragFilePaths(paths);
    }
    event->setDropAction(Qt::LinkAction);
    event->accept();
}

} // namespace zev
