#pragma once
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace saldorama::ui {

// Items of a list as high as their text needs when wrapped to the list's
// width, so that a long line stays readable in a narrow list. With
// `separated`, a rule under each item shows where a wrapped entry ends, so
// that its second line never reads as an entry of its own.
class WrappingDelegate : public QStyledItemDelegate {
public:
    explicit WrappingDelegate(QListWidget* list, bool separated = false)
        : QStyledItemDelegate(list), list_(list), separated_(separated) {}
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem wrapped = option;
        initStyleOption(&wrapped, index);
        wrapped.features |= QStyleOptionViewItem::WrapText;
        wrapped.rect = QRect(0, 0, std::max(40, list_->viewport()->width()), 10000);
        QSize size = list_->style()->sizeFromContents(QStyle::CT_ItemViewItem, &wrapped, QSize(), list_);
        if (separated_) size.rheight() += kRule;
        return size;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (!separated_) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem above = option;
        above.rect.setBottom(option.rect.bottom() - kRule);
        QStyledItemDelegate::paint(painter, above, index);
        painter->fillRect(QRect(option.rect.left(), option.rect.bottom() - kRule + 1, option.rect.width(), kRule),
                          option.palette.color(QPalette::Mid));
    }

private:
    static constexpr int kRule = 1;
    QListWidget* list_;
    bool separated_;
};

} // namespace saldorama::ui
