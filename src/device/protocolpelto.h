#pragma once

#include "driveroperations.h"
#include "protocolbase.h"

#include <QVector>

// The register's command protocol, carried through the driver component:
// builds the command bytes, checks each answer and turns every failure into
// a result code.
class protocolPelto : public protocolBase
{
public:
    int openPort(PortInfo port) override;
    int closePort() override;
    FieldBase *readField(int type, int table, int row, int field) override;
    int writeField(FieldBase *value, bool flag) override;
    int readDeviceInfo(QString *info) override;
    int readRow(int table, int row, FieldList *fields) override;
    int startReadFW(int kind, qint64 *size) override;
    int readFWBlock(QByteArray *dump) override;

private:
    // Each step throws ERR_PORT_NOT_OPEN when it fails.
    void connectDriver(const PortInfo &port);
    void checkConnectStep();
    void learnFieldWidths(int table, int row, FieldList *fields);
    // One command and its answer; on success data holds the answer data.
    int exchange(const QByteArray &command, QByteArray *data);

    static int judgeAnswer(int resultCode, const QByteArray &answer, QByteArray *data);
    static int driverResultToCode(int resultCode);
    static int answerErrorToCode(quint8 error);

    DriverOperations driver;
    // Byte widths of one record's fields, learned by the first readRow of a connection.
    QVector<qint32> fieldWidths;
};
