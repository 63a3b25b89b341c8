#pragma once

#include "exchangerecord.h"

#include <QFile>
#include <QMutex>

// --trace: a line per exchange as it ends, below a header line, in the words
// of the window's traffic view; written through at once, so that a run that
// is killed keeps every line up to then. Ports served at once share it.
class ExchangeTrace : public ExchangeObserver
{
public:
    // path "-" is standard error. False, with the reason, when it cannot be
    // written.
    bool open(const QString &path, QString &error);
    void exchanged(const ExchangeRecord &record) override;

private:
    void write(const QString &text);

    QFile m_file;
    QMutex m_mutex;
};
