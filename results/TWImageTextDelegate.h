#pragma once

#include <QRectF>
#include <QSizeF>
#include <QStyledItemDelegate>

// A table cell that draws an image (a file icon, the item's decoration) at its left end,
// followed by its text. The image sits 3.0 from the left edge, vertically centred with the
// offset rounded up to a whole pixel, with no gap of its own before the text; the cell asks
// for the image's width plus 3.0 more than a plain text cell.
//
// With branch marks on (the path view), every cell whose index does not answer true to
// IsLeafRole also draws an arrow at its right end.
class TWImageTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr qreal kImageMargin = 3.0;
    static constexpr qreal kBranchMarkWidth = 12.0;
    static constexpr int IsLeafRole = Qt::UserRole + 40;

    explicit TWImageTextDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void setDrawsBranchMarks(bool draws) { drawsBranchMarks_ = draws; }

    // Geometry in a view whose y grows downwards. An empty image size stands for no image:
    // the image frame is then the null rectangle and the text takes the whole cell.
    static QRectF imageFrameForCellFrame(const QRectF& cellFrame, const QSizeF& imageSize);
    // What is left for the text; empty when the image strip takes the whole width.
    static QRectF textFrameForCellFrame(const QRectF& cellFrame, const QSizeF& imageSize);
    static QSizeF cellSizeForBaseSize(const QSizeF& baseSize, const QSizeF& imageSize);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QSizeF imageSizeFor(const QStyleOptionViewItem& option) const;
    bool drawsBranchMarkFor(const QModelIndex& index) const;

    bool drawsBranchMarks_ = false;
};
