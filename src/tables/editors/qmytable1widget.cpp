#include "qmytable1widget.h"

#include "goodscsvfile.h"
#include "tablefile.h"

QMyTable1Widget::QMyTable1Widget(QWidget *parent)
    : QMyCatalogueTableWidget(parent), tableName(GoodsCsvFile::tableName())
{
}

int QMyTable1Widget::saveAs(const QString &path, const QString &filter)
{
    return TableFile::save(data(), path, TableFile::formatOf(tableNumber(), path, filter),
                           fileEventPoint());
}
