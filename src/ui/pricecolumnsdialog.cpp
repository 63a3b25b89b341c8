#include "pricecolumnsdialog.h"

#include "tableshape.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace {

using TableShape::goodsTable;
constexpr int sampleLength = 30;

} // namespace

PriceColumnsDialog::PriceColumnsDialog(const PriceColumns &found, const QStringList &header,
                                       const QStringList &sample, QWidget *parent)
    : QDialog(parent), m_headerRow(found.headerRow)
{
    setObjectName(QStringLiteral("priceColumnsDialog"));
    setWindowTitle(tr("Столбцы прайс-листа"));
    auto *form = new QFormLayout(this);
    auto *explanation =
        new QLabel(tr("Не все столбцы найдены по заголовку (строка %1). Укажите "
                      "столбец штрихкода и хотя бы один столбец с новыми значениями.")
                       .arg(m_headerRow + 1));
    explanation->setWordWrap(true);
    setMinimumWidth(fontMetrics().averageCharWidth() * 70);
    form->addRow(explanation);
    for (int column : PriceList::goodsColumns()) {
        auto *box = new QComboBox;
        box->setObjectName(PriceList::optionName(column));
        box->addItem(tr("— нет —"), -1);
        // The first row's value beside each caption: a caption alone ("Код")
        // seldom tells a barcode from an article number.
        for (int cell = 0; cell < header.size(); ++cell) {
            const QString value = sample.value(cell).left(sampleLength);
            box->addItem(value.isEmpty() ? tr("%1: %2").arg(cell + 1).arg(header[cell])
                                         : tr("%1: %2 (%3)").arg(cell + 1).arg(header[cell], value),
                         cell);
        }
        box->setCurrentIndex(box->findData(found.fileColumns.value(column, -1)));
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &PriceColumnsDialog::updateOk);
        form->addRow(TableShape::columnHeader(goodsTable, column), box);
        m_boxes.insert(column, box);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    updateOk();
}

PriceColumns PriceColumnsDialog::columns() const
{
    PriceColumns chosen;
    chosen.headerRow = m_headerRow;
    for (auto box = m_boxes.cbegin(); box != m_boxes.cend(); ++box) {
        const int cell = box.value()->currentData().toInt();
        if (cell >= 0)
            chosen.fileColumns.insert(box.key(), cell);
    }
    return chosen;
}

void PriceColumnsDialog::updateOk()
{
    m_ok->setEnabled(columns().complete());
}
