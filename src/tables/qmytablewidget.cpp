#include "qmytablewidget.h"

QMyTableWidget::QMyTableWidget(QWidget *parent) : QTableWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    connect(this, &QTableWidget::itemChanged, this, &QMyTableWidget::on_itemChanged);
}

bool QMyTableWidget::isWritable()
{
    return true;
}

QString QMyTableWidget::fileFilter()
{
    return tr("*.txt;;Все файлы (*.*)");
}
