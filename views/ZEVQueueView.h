#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLabel;
class QToolButton;
class QTreeView;

namespace zev {

class ConversionQueue;

// The queue in the window: one line per queued item with its name, its state
// (a bar under the state while it converts) and the video it wrote, and the
// three things a user does with it: cancel the converting line (the selected
// one, or with nothing selected every converting line), remove the selected
// line unless it converts (Delete does the same), clear the lines that have
// ended. Double-clicking a line that wrote its video asks to open its folder.
//
// Anything dropped on the queue is queued, a single item too. The view is
// hidden while the queue is empty, so the window looks as it always has
// until something is queued.
class ZEVQueueView : public QWidget {
    Q_OBJECT

public:
    explicit ZEVQueueView(QWidget* parent = nullptr);

    // Not owned; held weakly.
    void setQueue(ConversionQueue* queue);
    ConversionQueue* queue() const { return queue_; }

    QTreeView* lines() const { return lines_; }
    QToolButton* cancelButton() const { return cancelButton_; }
    QToolButton* removeButton() const { return removeButton_; }
    QToolButton* clearButton() const { return clearButton_; }
    // The selected line's row, or -1.
    int selectedRow() const;

    void cancelSelected();
    void removeSelected();

    // Room for the title row and a few lines: what the window grows by.
    QSize sizeHint() const override;

Q_SIGNALS:
    void pathsDropped(const QStringList& paths);
    void openRequested(const QString& outputFolder);
    // The view appeared (a first line was queued) or went (the last line
    // was removed).
    void shownChanged(bool shown);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void makeControls();
    void connectQueue();
    void refresh();
    void lineActivated(int row);
    bool cancelApplies() const;

    QPointer<ConversionQueue> queue_;
    QLabel* title_ = nullptr; // these are children, owned by the view
    QTreeView* lines_ = nullptr;
    QToolButton* cancelButton_ = nullptr;
    QToolButton* removeButton_ = nullptr;
    QToolButton* clearButton_ = nullptr;
};

} // namespace zev
