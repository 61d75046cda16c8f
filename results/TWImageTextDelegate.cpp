#include "results/TWImageTextDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <cmath>

QRectF TWImageTextDelegate::imageFrameForCellFrame(const QRectF& cellFrame,
                                                   const QSizeF& imageSize) {
    if (imageSize.isEmpty())
        return QRectF();
    qreal top = cellFrame.y() + std::ceil((cellFrame.height() - imageSize.height()) * 0.5);
    return QRectF(cellFrame.x() + kImageMargin, top, imageSize.width(), imageSize.height());
}

QRectF TWImageTextDelegate::textFrameForCellFrame(const QRectF& cellFrame,
                                                  const QSizeF& imageSize) {
    if (imageSize.isEmpty())
        return cellFrame;
    qreal strip = kImageMargin + imageSize.width();
    if (strip >= cellFrame.width())
        return QRectF(cellFrame.right(), cellFrame.y(), 0, cellFrame.height());
    return QRectF(cellFrame.x() + strip, cellFrame.y(), cellFrame.width() - strip,
                  cellFrame.height());
}

QSizeF TWImageTextDelegate::cellSizeForBaseSize(const QSizeF& baseSize, const QSizeF& imageSize) {
    qreal imageWidth = imageSize.isEmpty() ? 0.0 : imageSize.width();
    qreal height =
        imageSize.isEmpty() ? baseSize.height() : std::max(baseSize.height(), imageSize.height());
    return QSizeF(baseSize.width() + imageWidth + kImageMargin, height);
}

QSizeF TWImageTextDelegate::imageSizeFor(const QStyleOptionViewItem& option) const {
    if (!(option.features & QStyleOptionViewItem::HasDecoration) || option.icon.isNull())
        return QSizeF();
    return QSizeF(option.decorationSize);
}

bool TWImageTextDelegate::drawsBranchMarkFor(const QModelIndex& index) const {
    return drawsBranchMarks_ && !index.data(IsLeafRole).toBool();
}

void TWImageTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();

    // A missing or trashed file keeps its colour while selected, so that the selection never
    // hides that state.
    QVariant foreground = index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QBrush>())
        cell.palette.setBrush(QPalette::HighlightedText, foreground.value<QBrush>());

    QSizeF imageSize = imageSizeFor(cell);
    QIcon icon = cell.icon;
    QRectF textFrame = textFrameForCellFrame(QRectF(cell.rect), imageSize);

    // The image strip's background; the text part draws its own below.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);

    if (!imageSize.isEmpty()) {
        QRect imageFrame = imageFrameForCellFrame(QRectF(cell.rect), imageSize).toRect();
        QIcon::Mode mode = (cell.state & QStyle::State_Enabled) ? QIcon::Normal : QIcon::Disabled;
        painter->save();
        painter->setClipRect(cell.rect);
        icon.paint(painter, imageFrame, Qt::AlignCenter, mode, QIcon::Off);
        painter->restore();
    }

    QRect textRect = textFrame.toRect();
    if (drawsBranchMarkFor(index)) {
        int markWidth = static_cast<int>(kBranchMarkWidth);
        QStyleOption mark;
        mark.palette = cell.palette;
        mark.state = cell.state;
        mark.direction = cell.direction;
        mark.rect =
            QRect(cell.rect.right() - markWidth + 1, cell.rect.y(), markWidth, cell.rect.height());
        textRect.setRight(std::max(textRect.left(), mark.rect.left() - 1));
        style->drawPrimitive(cell.direction == Qt::RightToLeft ? QStyle::PE_IndicatorArrowLeft
                                                               : QStyle::PE_IndicatorArrowRight,
                             &mark, painter, widget);
    }

    // The text is drawn here rather than by the style's item control, which would paint the
    // background a second time over the text part.
    int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    textRect.adjust(margin, 0, -margin, 0);
    if (textRect.width() <= 0 || cell.text.isEmpty())
        return;
    QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                 : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                                       : QPalette::Inactive;
    QPalette::ColorRole role =
        (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(group, role));
    QString shown = cell.fontMetrics.elidedText(cell.text, cell.textElideMode, textRect.width());
    painter->drawText(textRect, static_cast<int>(cell.displayAlignment) | Qt::TextSingleLine,
                      shown);
    painter->restore();
}

QSize TWImageTextDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QSizeF imageSize = imageSizeFor(cell);
    cell.icon = QIcon();
    cell.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    QSizeF base = style->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), widget);
    QSizeF size = cellSizeForBaseSize(base, imageSize);
    if (drawsBranchMarkFor(index))
        size.rwidth() += kBranchMarkWidth;
    return size.toSize();
}
