#pragma once
#include <QListWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace saldorama::ui {

// Items of a list as high as their text needs when wrapped to the list's
// width, so that a long line stays readable in a narrow list.
class WrappingDelegate : public QStyledItemDelegate {
public:
    explicit WrappingDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem wrapped = option;
        initStyleOption(&wrapped, index);
        wrapped.features |= QStyleOptionViewItem::WrapText;
        wrapped.rect = QRect(0, 0, std::max(40, list_->viewport()->width()), 10000);
        return list_->style()->sizeFromContents(QStyle::CT_ItemViewItem, &wrapped, QSize(), list_);
    }

private:
    QListWidget* list_;
};

} // namespace saldorama::ui
