#pragma once

#include <QStyledItemDelegate>

namespace zev {

// Draws the queue's state column as text, cut at its end when too long, and
// under the text of a converting line a thin bar as long as its progress. The bar takes the palette's
// highlight colour, which reads on the light and the dark tint alike.
class ZEVQueueStateDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kBarHeight = 3;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // The bar's rectangle within a cell, for a fraction from 0 to 1.
    static QRect barRect(const QRect& cell, double fraction);
};

} // namespace zev
