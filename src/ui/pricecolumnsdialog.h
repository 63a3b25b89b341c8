#pragma once

#include "pricelist.h"

#include <QDialog>
#include <QMap>

class QComboBox;
class QPushButton;

// Where the program did not find a price list's barcode column, or any column
// to update by, the user picks them among the cells of its header row, each
// shown with its value in the sample row (the first after the header).
class PriceColumnsDialog : public QDialog
{
    Q_OBJECT
public:
    PriceColumnsDialog(const PriceColumns &found, const QStringList &header,
                       const QStringList &sample, QWidget *parent);

    PriceColumns columns() const;

private:
    void updateOk();

    const int m_headerRow;
    // A box per goods column.
    QMap<int, QComboBox *> m_boxes;
    QPushButton *m_ok;
};
