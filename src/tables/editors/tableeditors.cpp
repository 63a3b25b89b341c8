#include "tableeditors.h"

QMyTableWidget *createTableEditor(int table, QWidget *parent)
{
    switch (table) {
    case 1:
        return new QMyTable1Widget(parent);
    case 2:
        return new QMyTable2Widget(parent);
    case 3:
        return new QMyTable3Widget(parent);
    case 4:
        return new QMyTable4Widget(parent);
    case 5:
        return new QMyTable5Widget(parent);
    case 6:
        return new QMyTable6Widget(parent);
    case 7:
        return new QMyTable7Widget(parent);
    case 8:
        return new QMyTable8Widget(parent);
    case 9:
        return new QMyTable9Widget(parent);
    case 11:
        return new QMyTable11Widget(parent);
    case 12:
        return new QMyTable12Widget(parent);
    default:
        return nullptr;
    }
}
