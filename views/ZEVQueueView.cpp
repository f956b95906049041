#include "ZEVQueueView.h"

#include "ConversionQueue.h"
#include "ZEVQueueStateDelegate.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QShortcut>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace zev {

namespace {

constexpr int kNameWidth = 130;
constexpr int kOutputWidth = 170;
constexpr int kMinimumLinesHeight = 80;
constexpr int kLinesShown = 6;

QStringList localPaths(const QMimeData* mimeData) {
    if (!mimeData || !mimeData->hasUrls())
        return {};
    QStringList paths;
    for (const QUrl& url : mimeData->urls()) {
        if (!url.isLocalFile())
            return {};
        if (const QString path = url.toLocalFile(); !path.isEmpty())
            paths.append(path);
    }
    return paths;
}

QToolButton* makeButton(const QString& name, const QString& title, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(title);
    // Drawn like the folder chooser: only its title, which follows the
    // window's text colour in both modes.
    button->setAutoRaise(true);
    return button;
}

} // namespace

ZEVQueueView::ZEVQueueView(QWidget* parent)
    : QWidget(parent) {
    setAcceptDrops(true);
    makeControls();
    setVisible(false);
}

void ZEVQueueView::makeControls() {
    title_ = new QLabel(tr("Queue"), this);
    cancelButton_ = makeButton(QStringLiteral("queueCancelButton"), tr("Cancel"), this);
    removeButton_ = makeButton(QStringLiteral("queueRemoveButton"), tr("Remove"), this);
    clearButton_ = makeButton(QStringLiteral("queueClearButton"), tr("Clear finished"), this);
    cancelButton_->setToolTip(tr("Stops the selected line, or every converting line when none is selected"));
    removeButton_->setToolTip(tr("Takes the selected line out of the queue (Delete)"));

    lines_ = new QTreeView(this);
    lines_->setObjectName(QStringLiteral("queueLines"));
    lines_->setRootIsDecorated(false);
    lines_->setItemsExpandable(false);
    lines_->setUniformRowHeights(true);
    lines_->setHeaderHidden(true);
    lines_->setSelectionMode(QAbstractItemView::SingleSelection);
    lines_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines_->setTextElideMode(Qt::ElideMiddle);
    lines_->setMinimumHeight(kMinimumLinesHeight);
    lines_->setFrameShape(QFrame::NoFrame);
    // The window's tint shows through, and the text takes the window's
    // colours, as in the path field.
    QPalette clear;
    clear.setColor(QPalette::Base, Qt::transparent);
    lines_->setPalette(clear);
    lines_->viewport()->setAutoFillBackground(false);
    lines_->setItemDelegateForColumn(ConversionQueue::StateColumn, new ZEVQueueStateDelegate(lines_));

    auto* actions = new QHBoxLayout;
    actions->setContentsMargins(0, 0, 0, 0);
    actions->addWidget(title_);
    actions->addStretch(1);
    actions->addWidget(cancelButton_);
    actions->addWidget(removeButton_);
    actions->addWidget(clearButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(actions);
    layout->addWidget(lines_, 1);

    connect(cancelButton_, &QToolButton::clicked, this, &ZEVQueueView::cancelSelected);
    connect(removeButton_, &QToolButton::clicked, this, &ZEVQueueView::removeSelected);
    connect(clearButton_, &QToolButton::clicked, this, [this]() {
        if (queue_)
            queue_->clearFinished();
    });
    for (const QKeySequence& keys : {QKeySequence(QKeySequence::Delete), QKeySequence(Qt::Key_Backspace)})
        connect(new QShortcut(keys, lines_, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated,
                this, &ZEVQueueView::removeSelected);
    connect(lines_, &QTreeView::activated, this,
            [this](const QModelIndex& index) { lineActivated(index.row()); });
}

void ZEVQueueView::setQueue(ConversionQueue* queue) {
    queue_ = queue;
    lines_->setModel(queue);
    if (queue)
        connectQueue();
    refresh();
}

void ZEVQueueView::connectQueue() {
    QHeaderView* header = lines_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(ConversionQueue::NameColumn, QHeaderView::Interactive);
    header->setSectionResizeMode(ConversionQueue::StateColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ConversionQueue::OutputColumn, QHeaderView::Interactive);
    header->resizeSection(ConversionQueue::NameColumn, kNameWidth);
    header->resizeSection(ConversionQueue::OutputColumn, kOutputWidth);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(queue_, signal, this, &ZEVQueueView::refresh);
    connect(queue_, &QAbstractItemModel::dataChanged, this, &ZEVQueueView::refresh);
    connect(queue_, &QAbstractItemModel::modelReset, this, &ZEVQueueView::refresh);
    connect(lines_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ZEVQueueView::refresh);
}

QSize ZEVQueueView::sizeHint() const {
    const int rowHeight = lines_->fontMetrics().height() + 4;
    const int linesHeight = std::max(kMinimumLinesHeight, kLinesShown * rowHeight);
    return {QWidget::sizeHint().width(), title_->sizeHint().height() + layout()->spacing() + linesHeight};
}

int ZEVQueueView::selectedRow() const {
    if (!queue_ || !lines_->selectionModel())
        return -1;
    const QModelIndexList rows = lines_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

bool ZEVQueueView::cancelApplies() const {
    if (!queue_)
        return false;
    const int row = selectedRow();
    if (row >= 0)
        return queue_->state(row) == ConversionQueue::State::Converting;
    return queue_->count(ConversionQueue::State::Converting) > 0;
}

void ZEVQueueView::cancelSelected() {
    if (!cancelApplies())
        return;
    if (const int row = selectedRow(); row >= 0) {
        queue_->cancel(row);
        return;
    }
    for (int row = 0; row < queue_->rowCount(); ++row)
        queue_->cancel(row);
}

void ZEVQueueView::removeSelected() {
    if (queue_)
        queue_->remove(selectedRow());
}

void ZEVQueueView::lineActivated(int row) {
    if (!queue_ || row < 0 || queue_->state(row) != ConversionQueue::State::Done)
        return;
    Q_EMIT openRequested(queue_->index(row, 0).data(ConversionQueue::OutputFolderRole).toString());
}

void ZEVQueueView::refresh() {
    const int rows = queue_ ? queue_->rowCount() : 0;
    cancelButton_->setEnabled(cancelApplies());
    removeButton_->setEnabled(queue_ && queue_->canRemove(selectedRow()));
    bool anyEnded = false;
    for (int row = 0; row < rows && !anyEnded; ++row) {
        const ConversionQueue::State state = queue_->state(row);
        anyEnded = state != ConversionQueue::State::Waiting && state != ConversionQueue::State::Converting;
    }
    clearButton_->setEnabled(anyEnded);
    const bool wanted = rows > 0;
    if (wanted == !isHidden())
        return;
    setVisible(wanted);
    Q_EMIT shownChanged(wanted);
}

// Like the folder panel: any drag of local files, linked where the source
// allows it.
void ZEVQueueView::dragEnterEvent(QDragEnterEvent* event) {
    if (localPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    if (event->possibleActions().testFlag(Qt::LinkAction))
        event->setDropAction(Qt::LinkAction);
    event->accept();
}

void ZEVQueueView::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (event->possibleActions().testFlag(Qt::LinkAction))
        event->setDropAction(Qt::LinkAction);
    event->accept();
    if (!paths.isEmpty())
        Q_EMIT pathsDropped(paths);
}

} // namespace zev
