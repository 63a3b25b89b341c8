#pragma once

#include "qmytablegenericwidget.h"

// GSM/Wi-Fi settings: one grid row; column c shows field 1 of register row c + 1.
class QMyTable11Widget : public QMyCatalogueTableWidget<11>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};
