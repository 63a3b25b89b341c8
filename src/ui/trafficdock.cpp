#include "trafficdock.h"

#include "exchangetext.h"
#include "filedialogs.h"
#include "preferences.h"
#include "trafficfilter.h"
#include "trafficmodel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int catchUpMs = 100;
// A search of 100,000 rows takes a noticeable moment: not one per key typed.
constexpr int searchDelayMs = 250;
// The choices before the tables'.
constexpr int allChoice = 0;
constexpr int problemsChoice = 1;

void rememberOpen(bool open)
{
    Preferences::setValue(Preferences::TrafficDockOpen, open);
}

QLabel *legend(const QString &text, const QColor &color, const QString &toolTip)
{
    auto *label = new QLabel(text);
    label->setStyleSheet(
        QStringLiteral("QLabel { background-color: %1; padding: 0 4px; }").arg(color.name()));
    label->setToolTip(toolTip);
    return label;
}

} // namespace

TrafficDock::TrafficDock(QMainWindow *window)
    : QDockWidget(tr("Обмен с ККТ"), window), m_model(new TrafficModel(m_journal, this)),
      m_filter(new TrafficFilter(*m_model, this)), m_view(new QTableView),
      m_catchUpTimer(new QTimer(this)), m_searchTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("trafficDock"));
    auto *contents = new QWidget;
    auto *layout = new QVBoxLayout(contents);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(createToolBar());
    createView();
    layout->addWidget(m_view);
    setWidget(contents);

    connect(m_model, &TrafficModel::tableSeen, this, &TrafficDock::addTableChoice);
    m_catchUpTimer->setInterval(catchUpMs);
    connect(m_catchUpTimer, &QTimer::timeout, this, &TrafficDock::catchUp);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            catchUp();
            m_catchUpTimer->start();
        } else {
            m_catchUpTimer->stop();
        }
    });

    QAction *toggle = toggleViewAction();
    toggle->setObjectName(QStringLiteral("actionTrafficDock"));
    // The title stays as it is; the menu's entry gets its access key.
    toggle->setText(tr("&Обмен с ККТ"));
    toggle->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+L")));
    window->addDockWidget(Qt::BottomDockWidgetArea, this);
    setVisible(Preferences::value(Preferences::TrafficDockOpen, false).toBool());
    // The user's opening and closing only: the window's end hides the dock
    // too, which is to be open again at the next start.
    connect(toggle, &QAction::triggered, this, &rememberOpen);
}

void TrafficDock::closeEvent(QCloseEvent *event)
{
    rememberOpen(false);
    QDockWidget::closeEvent(event);
}

QWidget *TrafficDock::createToolBar()
{
    auto *bar = new QWidget;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);

    m_choice = new QComboBox;
    m_choice->setObjectName(QStringLiteral("trafficChoice"));
    m_choice->addItem(tr("Все обмены"));
    m_choice->addItem(tr("Только сбои"));
    m_choice->setItemData(problemsChoice, tr("Обмены со сбоем или с повторами"), Qt::ToolTipRole);
    connect(m_choice, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TrafficDock::applyChoice);
    layout->addWidget(m_choice);

    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("trafficSearch"));
    m_search->setPlaceholderText(tr("Поиск"));
    m_search->setClearButtonEnabled(true);
    m_search->setToolTip(tr("Обмены, в ячейках которых есть этот текст"));
    m_searchTimer->setSingleShot(true);
    m_searchTimer->setInterval(searchDelayMs);
    connect(m_searchTimer, &QTimer::timeout, this, &TrafficDock::applySearch);
    connect(m_search, &QLineEdit::textChanged, m_searchTimer, QOverload<>::of(&QTimer::start));
    layout->addWidget(m_search, 1);

    m_bytes = new QCheckBox(tr("Байты"));
    m_bytes->setObjectName(QStringLiteral("trafficBytes"));
    m_bytes->setToolTip(tr("Показать байты запроса и ответа"));
    connect(m_bytes, &QCheckBox::toggled, this, [this](bool shown) {
        m_view->setColumnHidden(ExchangeText::Request, !shown);
        m_view->setColumnHidden(ExchangeText::Answer, !shown);
        applySearch();
    });
    layout->addWidget(m_bytes);

    layout->addWidget(legend(tr("Сбой"), TrafficModel::failedColor(),
                             tr("Обмен не получил ответа, который можно принять")));
    layout->addWidget(legend(tr("Повтор"), TrafficModel::retriedColor(),
                             tr("Ответ получен после повторов запроса")));

    auto *exportButton = new QPushButton(tr("Экспорт..."));
    exportButton->setObjectName(QStringLiteral("trafficExport"));
    exportButton->setToolTip(tr("Сохранить показанные обмены в текстовый файл"));
    connect(exportButton, &QPushButton::clicked, this, &TrafficDock::exportShown);
    layout->addWidget(exportButton);
    return bar;
}

void TrafficDock::createView()
{
    m_view->setObjectName(QStringLiteral("trafficView"));
    m_view->setModel(m_filter);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    // Rows of one height need no look at their contents, however many there are.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    QHeaderView *header = m_view->horizontalHeader();
    header->setStretchLastSection(true);
    // Room for a typical value rather than the widest of 100,000 rows.
    const QString bytes = QStringLiteral("00 ").repeated(24);
    const QStringList typical = {QStringLiteral("00:00:00.000"),
                                 QStringLiteral("0000.0"),
                                 QStringLiteral("/dev/ttyUSB0"),
                                 QStringLiteral("Чтение записи"),
                                 QStringLiteral("1 База товаров"),
                                 QStringLiteral("65535"),
                                 QStringLiteral("255"),
                                 QStringLiteral("255"),
                                 QStringLiteral("Данных больше нет"),
                                 QStringLiteral("10"),
                                 bytes,
                                 bytes};
    const QStringList headers = ExchangeText::headers();
    const int padding = 2 * m_view->fontMetrics().averageCharWidth();
    for (int column = 0; column < ExchangeText::ColumnCount; ++column) {
        const int text = m_view->fontMetrics().horizontalAdvance(typical.at(column));
        const int title = header->fontMetrics().horizontalAdvance(headers.at(column));
        header->resizeSection(column, qMax(text, title) + padding);
    }
    m_view->setColumnHidden(ExchangeText::Request, true);
    m_view->setColumnHidden(ExchangeText::Answer, true);
    followNewest();
}

// Measured at each catch-up, "at the bottom" was lost for good once the view
// got lower under it (the dock or the window resized, the progress come into
// the status bar): the range grew, the value stayed. Only the user's scrolling
// decides it, and a new range keeps a following view at its bottom.
void TrafficDock::followNewest()
{
    QScrollBar *bar = m_view->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { m_following = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (m_following)
            bar->setValue(maximum);
    });
}

void TrafficDock::catchUp()
{
    if (m_model->catchUp() && m_following)
        m_view->scrollToBottom();
}

// In the order of the tables' numbers.
void TrafficDock::addTableChoice(int table, const QString &text)
{
    int index = problemsChoice + 1;
    while (index < m_choice->count() && m_choice->itemData(index).toInt() < table)
        ++index;
    m_choice->insertItem(index, tr("Таблица %1").arg(text), table);
}

void TrafficDock::applyChoice()
{
    const int index = m_choice->currentIndex();
    if (index == allChoice)
        m_filter->setScope(TrafficFilter::Scope::All);
    else if (index == problemsChoice)
        m_filter->setScope(TrafficFilter::Scope::Problems);
    else
        m_filter->setScope(TrafficFilter::Scope::Table, m_choice->currentData().toInt());
}

void TrafficDock::applySearch()
{
    m_filter->setSearch(m_search->text(), m_bytes->isChecked());
}

void TrafficDock::exportShown()
{
    const QString path =
        FileDialogs::askSave(this, tr("Экспорт обмена с ККТ"),
                             tr("Текст с табуляцией (*.txt);;Все файлы (*.*)"), tr("Обмен с ККТ"));
    if (path.isEmpty())
        return;
    // The journal went on during the dialog: every shown row's record is held after this.
    catchUp();
    QSaveFile file(path);
    bool written =
        file.open(QIODevice::WriteOnly) && file.write(ExchangeText::headerLine().toUtf8()) >= 0;
    for (int row = 0; written && row < m_filter->rowCount(); ++row) {
        const int source = m_filter->mapToSource(m_filter->index(row, 0)).row();
        written = file.write(ExchangeText::line(*m_model->record(source)).toUtf8()) >= 0;
    }
    if (!written || !file.commit())
        QMessageBox::critical(this, tr("Ошибка"),
                              tr("Не удалось сохранить файл %1: %2")
                                  .arg(QDir::toNativeSeparators(path), file.errorString()));
}
