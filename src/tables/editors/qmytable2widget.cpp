#include "qmytable2widget.h"

#include "tablecolumns.h"
#include "tableoperations.h"
#include "tableshape.h"

#include <QDebug>
#include <QHeaderView>

QMyTable2Widget::QMyTable2Widget(QWidget *parent) : QMyTableWidget(parent)
{
    setupCatalogueColumns(*this, TableShape::settingsTable);
    verticalHeader()->hide();
}

void QMyTable2Widget::on_itemChanged(QTableWidgetItem *item)
{
    qDebug() << "QMyTable2Widget::on_itemChanged";
    if (item)
        checkCell(*item);
}

int QMyTable2Widget::readTable(protocolBase &protocol)
{
    return TableOperations::readTable(protocol, data(), operationProgress());
}

int QMyTable2Widget::tableNumber()
{
    return TableShape::settingsTable;
}
