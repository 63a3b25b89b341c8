#pragma once

#include "protocolbase.h"

#include <QMap>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <functional>

// A register table that a test writes as texts. readField and readRow build
// each value with createField and fromString; a row past the end answers
// -259, a field past a row's end -260, and the failure maps script others.
// Every call is recorded in `calls`, preceded by "events" when pending events
// were processed since the call before.
class ScriptedProtocol : public QObject, public protocolBase
{
public:
    struct Cell
    {
        int width;
        QString text;
    };

    ScriptedProtocol();

    // Records "events" when events were processed since the last call.
    void finish() { noteEvents(); }
    // Starts a new trace.
    void clearCalls();

    int openPort(PortInfo) override { return 0; }
    int closePort() override { return 0; }
    FieldBase *readField(int type, int table, int row, int field) override;
    // Recorded as "writeField table row field = text".
    int writeField(FieldBase *value, bool flag) override;
    int readDeviceInfo(QString *) override { return 0; }
    // Field types from the catalogue.
    int readRow(int table, int row, FieldList *fields) override;
    int startReadFW(int, qint64 *) override { return 0; }
    int readFWBlock(QByteArray *) override { return 1; }
    bool answeredLastRequest() const override { return m_answered; }

    QVector<QVector<Cell>> rows;
    // (row, field) to the code a read answers; field 0 for readRow.
    QMap<QPair<int, int>, int> failures;
    // (row, field) whose exchange fails with no answer, -511.
    QSet<QPair<int, int>> unanswered;
    // (row, field) to the code a write returns.
    QMap<QPair<int, int>, int> writeFailures;
    QStringList calls;
    // Called after each call is recorded, before it answers.
    std::function<void()> onCall;

protected:
    bool event(QEvent *event) override;

private:
    int answer(int row, int field);
    void record(const QString &call);
    void noteEvents();

    bool m_eventsProcessed = false;
    bool m_answered = true;
};

// The row or field number of the call after each "events" entry; 0 when the
// events came after the last call.
QList<int> callsAfterEvents(const QStringList &calls, int numberIndex);
