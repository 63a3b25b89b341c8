#include "priceupdatedialog.h"

#include "priceupdate.h"
#include "tabledata.h"
#include "tableshape.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using TableShape::goodsTable;

QString header(int column)
{
    return TableShape::columnHeader(goodsTable, column);
}

} // namespace

// Rows of texts made when shown, so that a view of 65,535 changes opens at once.
class TextRowsModel : public QAbstractTableModel
{
public:
    using Text = std::function<QString(int row, int column)>;

    TextRowsModel(const QString &title, const QStringList &headers, QObject *parent)
        : QAbstractTableModel(parent), m_title(title), m_headers(headers)
    {
    }

    void reset(int rows, Text text)
    {
        beginResetModel();
        m_rows = rows;
        m_text = std::move(text);
        endResetModel();
    }
    QString tabText() const { return QStringLiteral("%1 (%2)").arg(m_title).arg(m_rows); }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_headers.size();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid())
            return {};
        return m_text(index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return orientation == Qt::Horizontal ? QVariant(m_headers.value(section))
                                             : QVariant(section + 1);
    }

private:
    const QString m_title;
    const QStringList m_headers;
    int m_rows = 0;
    Text m_text;
};

PriceUpdateDialog::PriceUpdateDialog(const TableData &goods, const SheetRows &rows,
                                     const PriceColumns &columns, std::unique_ptr<PriceUpdate> plan,
                                     QWidget *parent)
    : QDialog(parent), m_goods(goods), m_rows(rows), m_columns(columns), m_update(std::move(plan)),
      m_summary(new QLabel), m_addNew(new QCheckBox(tr("Добавить новые"))), m_tabs(new QTabWidget)
{
    setObjectName(QStringLiteral("priceUpdateDialog"));
    setWindowTitle(tr("Обновление по штрихкодам"));
    m_addNew->setObjectName(QStringLiteral("addNew"));
    m_tabs->setObjectName(QStringLiteral("priceUpdateTabs"));
    m_changes = new TextRowsModel(
        tr("Изменения"), {tr("Запись"), header(1), header(0), tr("Поле"), tr("Было"), tr("Стало")},
        this);
    m_unknown = new TextRowsModel(
        tr("Нет в ККТ"), {tr("Строка файла"), header(1), header(0), header(2), tr("Запись")}, this);
    m_duplicates = new TextRowsModel(tr("Дважды в ККТ"), {header(1), tr("Записи")}, this);
    m_invalid =
        new TextRowsModel(tr("Неверные значения"),
                          {tr("Строка файла"), tr("Поле"), tr("Значение"), tr("Почему")}, this);
    auto *layout = new QVBoxLayout(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    layout->addWidget(m_addNew);
    for (TextRowsModel *model : {m_changes, m_unknown, m_duplicates, m_invalid})
        addTab(model);
    layout->addWidget(m_tabs, 1);
    auto *buttons = new QDialogButtonBox;
    m_apply = buttons->addButton(tr("Применить"), QDialogButtonBox::AcceptRole);
    m_apply->setObjectName(QStringLiteral("apply"));
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_addNew, &QCheckBox::toggled, this, &PriceUpdateDialog::plan);
    showPlan();
    resize(760, 480);
}

PriceUpdateDialog::~PriceUpdateDialog() = default;

void PriceUpdateDialog::addTab(TextRowsModel *model)
{
    auto *view = new QTableView;
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    // Barcodes shown whole and long names cut, whole in their tooltips, so
    // that "Было" and "Стало" stay in sight; the view measures at most its
    // first thousand rows.
    connect(model, &QAbstractItemModel::modelReset, view, [view] {
        view->resizeColumnsToContents();
        const int widest = view->fontMetrics().averageCharWidth() * 24;
        for (int column = 0; column < view->model()->columnCount(); ++column)
            view->setColumnWidth(column, qMin(view->columnWidth(column), widest));
    });
    m_tabs->addTab(view, model->tabText());
}

void PriceUpdateDialog::plan()
{
    m_update = std::make_unique<PriceUpdate>(m_goods, m_rows, m_columns, m_addNew->isChecked());
    showPlan();
}

void PriceUpdateDialog::showPlan()
{
    const PriceUpdate &update = *m_update;
    m_changes->reset(update.changes().size(), [&update](int row, int column) {
        return PriceUpdate::texts(update.changes()[row]).value(column);
    });
    m_unknown->reset(update.unknown().size(), [&update](int row, int column) {
        return PriceUpdate::texts(update.unknown()[row]).value(column);
    });
    m_duplicates->reset(update.duplicates().size(), [&update](int row, int column) {
        return PriceUpdate::texts(update.duplicates()[row]).value(column);
    });
    m_invalid->reset(update.invalid().size(), [&update](int row, int column) {
        return PriceUpdate::texts(update.invalid()[row]).value(column);
    });
    int tab = 0;
    for (TextRowsModel *model : {m_changes, m_unknown, m_duplicates, m_invalid})
        m_tabs->setTabText(tab++, model->tabText());
    m_addNew->setToolTip(tr("Товары, которых нет в ККТ, записать в пустые записи в конце "
                            "таблицы (штрихкод 0, без названия); пустых записей: %1")
                             .arg(update.emptyRecords()));
    QStringList summary{tr("Изменений: %1.").arg(update.changes().size())};
    if (update.added() > 0)
        summary << tr("Добавляется новых товаров: %1.").arg(update.added());
    if (update.notFitted() > 0)
        summary << tr("Не поместились (нет пустых записей): %1.").arg(update.notFitted());
    if (!update.duplicates().isEmpty())
        summary << tr("Штрихкоды, которые есть в ККТ дважды, обновляются во всех их записях.");
    if (!update.invalid().isEmpty())
        summary << tr("Неверные значения не применяются.");
    m_summary->setText(summary.join(QLatin1Char(' ')));
    m_apply->setEnabled(!update.changes().isEmpty());
}
