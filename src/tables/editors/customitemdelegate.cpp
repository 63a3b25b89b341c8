#include "customitemdelegate.h"

#include "cellmarks.h"
#include "customlineedit.h"

#include <QDebug>
#include <QStyle>

QWidget *customItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    if (index.data(Qt::EditRole).userType() != QMetaType::QString)
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto *editor = new customLineEdit(parent);
    editor->setFrame(
        editor->style()->styleHint(QStyle::SH_ItemView_DrawDelegateFrame, nullptr, editor) != 0);
    return editor;
}

// The text goes in before the font, so a grid reacting to item changes checks
// the new text first.
void customItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                      const QModelIndex &index) const
{
    qDebug() << "customItemDelegate::setModelData";
    const QVariant before = model->data(index, Qt::DisplayRole);
    QStyledItemDelegate::setModelData(editor, model, index);
    const QVariant after = model->data(index, Qt::DisplayRole);

    const QVariant fontData = model->data(index, Qt::FontRole);
    QFont font = fontData.userType() == QMetaType::QFont ? fontData.value<QFont>() : QFont();
    font.setWeight(before != after ? CellMarks::changedWeight : CellMarks::unchangedWeight);
    model->setData(index, font, Qt::FontRole);
}
