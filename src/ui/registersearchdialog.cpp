#include "registersearchdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Often enough to look live, seldom enough to cost nothing.
constexpr int pollIntervalMs = 100;

} // namespace

RegisterSearchDialog::RegisterSearchDialog(const QList<PortInfo> &ports, QWidget *parent)
    : QDialog(parent), m_progress(new QProgressBar(this)), m_status(new QLabel(this)),
      m_table(new QTableWidget(0, 5, this))
{
    setWindowTitle(tr("Найти ККТ"));
    setObjectName(QStringLiteral("registerSearchDialog"));
    const QVector<int> rates = RegisterFinder::ratesInOrder();
    auto *intro = new QLabel(tr("На каждом порту (%1) на каждой скорости (%2) ККТ получает только "
                                "запрос идентификации: ничего не записывается.")
                                 .arg(ports.size())
                                 .arg(rates.size()),
                             this);
    intro->setWordWrap(true);
    m_table->setObjectName(QStringLiteral("foundRegisters"));
    m_table->setHorizontalHeaderLabels(
        {tr("Порт"), tr("Скорость"), tr("Модель"), tr("Заводской номер"), tr("Версия ПО")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();

    auto *buttons = new QDialogButtonBox(this);
    m_stop = buttons->addButton(tr("Прервать"), QDialogButtonBox::ActionRole);
    m_choose = buttons->addButton(tr("Выбрать"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Close);
    m_choose->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_finder.stop(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            [this] { m_choose->setEnabled(!m_table->selectedItems().isEmpty()); });
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_progress);
    layout->addWidget(m_table);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(640, 320);

    m_finder.start(ports, rates);
    m_progress->setRange(0, qMax(1, m_finder.attemptsTotal()));
    connect(&m_poll, &QTimer::timeout, this, &RegisterSearchDialog::showProgress);
    m_poll.start(pollIntervalMs);
    showProgress();
}

FoundRegister RegisterSearchDialog::chosen() const
{
    const int row = m_table->currentRow();
    return row >= 0 && row < m_found.size() ? m_found.at(row) : FoundRegister();
}

// A search still going on ends first: it would outlive what it reports to.
void RegisterSearchDialog::done(int result)
{
    m_finder.stop();
    m_finder.wait();
    m_poll.stop();
    QDialog::done(result);
}

void RegisterSearchDialog::showProgress()
{
    // A row per register as it answers, whatever port it is on.
    for (const FoundRegister &found : m_finder.found()) {
        const auto listed = [&found](const FoundRegister &row) {
            return row.port.systemLocation() == found.port.systemLocation();
        };
        if (std::none_of(m_found.begin(), m_found.end(), listed))
            addRow(found);
    }
    m_progress->setValue(m_finder.attemptsDone());
    if (m_finder.isRunning()) {
        m_status->setText(tr("Поиск… найдено ККТ: %1").arg(m_found.size()));
        return;
    }
    m_poll.stop();
    m_stop->setEnabled(false);
    const QStringList problems = m_finder.problems();
    m_status->setText(m_found.isEmpty()
                          ? tr("ККТ не найдена. Проверьте кабель и питание ККТ.")
                          : tr("Найдено ККТ: %1. Выберите строку.").arg(m_found.size()));
    m_status->setToolTip(problems.join(QLatin1Char('\n')));
    if (!problems.isEmpty())
        m_status->setText(m_status->text() + tr(" Порты, которые не открылись: %1 (подробности "
                                                "в подсказке).")
                                                 .arg(problems.size()));
    if (m_table->currentRow() < 0 && !m_found.isEmpty())
        m_table->selectRow(0);
}

void RegisterSearchDialog::addRow(const FoundRegister &found)
{
    const int row = m_table->rowCount();
    m_found << found;
    m_table->insertRow(row);
    const QStringList texts{found.port.systemLocation(), tr("%1 бод").arg(found.baud),
                            found.metrics.description, found.metrics.serialNumber,
                            found.metrics.firmware()};
    for (int column = 0; column < texts.size(); ++column)
        m_table->setItem(row, column, new QTableWidgetItem(texts.at(column)));
    m_table->resizeColumnsToContents();
}
