#pragma once

#include "qmytablegenericwidget.h"

// The goods database: read a whole record per exchange and, besides the
// tab-separated file, kept as a CSV file.
class QMyTable1Widget : public QMyCatalogueTableWidget<1>
{
public:
    explicit QMyTable1Widget(QWidget *parent = nullptr);

    // As saveToFile; a CSV saved with the filter for spreadsheet programs, one
    // of fileFilter's, starts with a byte-order mark.
    int saveAs(const QString &path, const QString &filter);

private:
    // The first line of the CSV files.
    const QString tableName;
};
