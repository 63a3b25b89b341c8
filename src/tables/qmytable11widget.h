#pragma once

#include "qmytablegenericwidget.h"

// GSM/Wi-Fi settings: one grid row; column c shows field 1 of register row c + 1.
class QMyTable11Widget : public QMyCatalogueTableWidget<11>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;

    // Register rows 1, 2, ... until the register refuses one or the catalogue
    // knows no type for it.
    int readTable(protocolBase &protocol) override;
    int writeTable(protocolBase &protocol) override;
    // Column c is field 1 of register row c + 1.
    bool fieldAddress(int row, int column, FieldAddress &address) override;
};
