#pragma once

#include <QStyledItemDelegate>

// Edits text cells with customLineEdit and marks a committed cell bold when
// the edit changed its text, normal when it did not; the table editors write
// the bold cells.
class customItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};
