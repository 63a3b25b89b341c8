#pragma once

// Every table editor, one class per logical table number.

#include "qmytable11widget.h"
#include "qmytable1widget.h"
#include "qmytable2widget.h"

#include <QVector>

// A new editor of the table, or nullptr for a table without one. Besides the
// window's tabs, a comparison or a profile fills such an editor unseen.
QMyTableWidget *createTableEditor(int table, QWidget *parent = nullptr);

class QMyTable3Widget : public QMyCatalogueTableWidget<3>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};

class QMyTable4Widget : public QMyCatalogueTableWidget<4>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};

class QMyTable5Widget : public QMyCatalogueTableWidget<5>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};

class QMyTable6Widget : public QMyCatalogueTableWidget<6>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};

// Tax rates and payment types are set by the register's maker: shown, never
// written (the catalogue says so).
class QMyTable7Widget : public QMyCatalogueTableWidget<7>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};

class QMyTable8Widget : public QMyCatalogueTableWidget<8>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};

class QMyTable9Widget : public QMyCatalogueTableWidget<9>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};

class QMyTable12Widget : public QMyCatalogueTableWidget<12>
{
public:
    using QMyCatalogueTableWidget::QMyCatalogueTableWidget;
};
