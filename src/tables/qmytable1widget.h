#pragma once

#include "qmytablegenericwidget.h"

// The goods database: reads a whole record per exchange and, besides the
// tab-separated file, keeps the database as a CSV file.
class QMyTable1Widget : public QMyCatalogueTableWidget<1>
{
public:
    explicit QMyTable1Widget(QWidget *parent = nullptr);

    int readTable(protocolBase &protocol) override;
    // CSV for a path ending in ".csv" (case-sensitive), else the tab-separated file.
    int saveToFile(const QString &path) override;
    // As saveToFile; a CSV saved with the filter for spreadsheet programs, one
    // of fileFilter's, starts with a byte-order mark.
    int saveAs(const QString &path, const QString &filter);
    QString fileFilter() override;
    // The CSV file, whatever the path it goes to.
    int writeCsvFile(QTextStream &out);

protected:
    int loadFile(const QString &path) override;

private:
    // The first line of the CSV files.
    const QString tableName;
};
