#include "progresspanel.h"

#include "elidinglabel.h"
#include "errorcode.h"
#include "operationprogress.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>

ProgressPanel::ProgressPanel(OperationProgress &progress, QWidget *window)
    : QWidget(window), m_progress(progress), m_text(new ElidingLabel(this)),
      m_cancel(new QPushButton(tr("Прервать"), this))
{
    m_text->setObjectName(QStringLiteral("progressLabel"));
    m_text->setKeptWhole(true);
    m_cancel->setObjectName(QStringLiteral("pbCancel"));
    m_cancel->setToolTip(tr("Остановить чтение, запись или чтение дампа (Esc)"));
    m_cancel->setEnabled(false);
    m_cancel->hide();
    hide();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // No wider than its text and button, as the other status texts.
    layout->setSizeConstraint(QLayout::SetMaximumSize);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_cancel);

    // Only while there is something to stop: otherwise Esc belongs to the
    // cell editor and the dialogs.
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, m_cancel, &QPushButton::click);
    connect(m_cancel, &QPushButton::clicked, &m_progress, &OperationProgress::requestCancel);
    connect(&m_progress, &OperationProgress::changed, this, [this] {
        if (m_showsRunning && m_progress.isRunning())
            showRunning();
    });
}

void ProgressPanel::start(ProgressText::Work work, qint64 total, bool cancellable)
{
    m_work = work;
    // Without event points nothing would move before the summary.
    m_showsRunning = cancellable;
    m_cancel->setEnabled(cancellable);
    m_cancel->setVisible(cancellable);
    m_escape->setEnabled(cancellable);
    m_text->setFullText(QString());
    show();
    m_progress.start(total);
}

void ProgressPanel::finish(qint64 count, int result, const ExchangeCounts &exchanges)
{
    m_progress.finish(count);
    m_showsRunning = false;
    m_cancel->setEnabled(false);
    m_cancel->hide();
    m_escape->setEnabled(false);
    // A save that did not end leaves its file as it was: nothing is saved.
    const bool unsaved = m_work == ProgressText::Work::RecordsSaved && result != ERR_OK;
    QString summary = (unsaved ? tr("Не сохранено") : ProgressText::done(m_work, count)) +
                      tr(" за ") + ProgressText::duration(m_progress.elapsedMs());
    if (m_progress.checkTotal() >= 0)
        summary += QStringLiteral(", ") +
                   ProgressText::checked(m_progress.checked(), m_progress.checkTotal());
    summary += ProgressText::exchangeTrouble(exchanges);
    if (result == ERR_CANCELLED)
        summary += tr(" — прервано");
    else if (result != ERR_OK)
        summary += tr(" — ошибка");
    m_text->setFullText(summary);
    m_text->repaint();
}

bool ProgressPanel::waitForPort(bool waiting, qint64 msLeft)
{
    if (!waiting) {
        if (m_showsRunning)
            showRunning();
        return true;
    }
    // Counted down in whole seconds, the last one shown until the wait ends.
    m_text->setFullText(tr("Ожидание подключения… %1 с").arg((msLeft + 999) / 1000));
    m_text->repaint();
    QCoreApplication::processEvents();
    return !m_progress.cancelRequested();
}

// Repainted at once: the window handles its events only at the event points.
void ProgressPanel::showRunning()
{
    m_text->setFullText(m_progress.runningText(m_work));
    m_text->repaint();
}
