#pragma once

#include <QPointer>
#include <QWidget>

namespace zev {

class ZEVDragViewDelegate;

// The panel the user drops the frame folder on. It takes any drag that
// carries local file paths and whose source allows linking, and hands the
// dropped path to its delegate without judging it: whether that is a usable
// frame folder is decided when a conversion starts. A drop of several items
// hands them all at once (updateDragFilePaths), which a delegate that wants
// one narrows to the first.
//
// Children that should take drops through the panel must not accept drops
// themselves; Qt then offers the drag to the nearest accepting ancestor.
class ZEVDragView : public QWidget {
    Q_OBJECT

public:
    explicit ZEVDragView(QWidget* parent = nullptr);

    // Not owned. A delegate that is a QObject is held weakly, so a drop after
    // it is gone reaches nobody.
    ZEVDragViewDelegate* delegate() const;
    void setDelegate(ZEVDragViewDelegate* delegate);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    ZEVDragViewDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateObject_;
    bool delegateIsObject_ = false;
};

} // namespace zev
