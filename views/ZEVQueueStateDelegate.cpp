#include "ZEVQueueStateDelegate.h"

#include "ConversionQueue.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zev {

void ZEVQueueStateDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    // The end of a state is its reason, which matters more than its middle;
    // the names and paths of the other columns lose their middle instead.
    QStyleOptionViewItem elidedAtTheEnd = option;
    elidedAtTheEnd.textElideMode = Qt::ElideRight;
    QStyledItemDelegate::paint(painter, elidedAtTheEnd, index);
    const auto state = ConversionQueue::State(index.data(ConversionQueue::StateRole).toInt());
    if (state != ConversionQueue::State::Converting)
        return;
    const QRect bar = barRect(option.rect, index.data(ConversionQueue::FractionRole).toDouble());
    if (bar.isEmpty())
        return;
    painter->fillRect(bar, option.palette.color(QPalette::Highlight));
}

QRect ZEVQueueStateDelegate::barRect(const QRect& cell, double fraction) {
    // Written so that NaN gives no bar.
    const double clamped = fraction > 0.0 ? std::min(fraction, 1.0) : 0.0;
    const int width = int(std::lround(clamped * cell.width()));
    return QRect(cell.left(), cell.bottom() - kBarHeight + 1, width, kBarHeight);
}

} // namespace zev
