#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// One operation done twice, on two emulator programs that start alike: one
// on a clean line, one that spoils a share of the bytes both ways. The test
// compares what each side ended with.
namespace LineComparison {

// A bit flipped in one byte of a hundred, in both directions.
const QStringList spoiledLine{QStringLiteral("--corrupt"), QStringLiteral("0.01"),
                              QStringLiteral("--seed"), QStringLiteral("11")};
// Where the dump's blocks fail most often: with a short exchange's retries
// for each block, a dump stopped at 1,024 bytes there.
const QStringList dumpSpoiledLine{QStringLiteral("--seed"), QStringLiteral("12")};

// The goods a read goes through: enough for a few exchanges to fail and be
// retried on the spoiled line.
constexpr int readGoodsRows = 600;

// A goods table file, tab-separated, with fields 1, 2, 3, 4 and 7 of its
// first changedGoodsRows records given other values: 500 cells to write.
constexpr int changedGoodsRows = 100;
QByteArray changedGoods(const QByteArray &file);

struct Outcome
{
    // What the operation left in its output file.
    QByteArray output;
    // The register's tables when it stopped.
    QByteArray state;
    // The requests it executed that do work: "N reads, N writes, N dump
    // starts, N dump blocks"; identifications and mode entries, which a
    // new connection repeats, are left out.
    QString executed;
};

// Starts the emulator program with arguments (and a state file of its own),
// spoiled or clean, runs operation with its terminal's path and the path of
// an output file named outputName, stops it. False, with the reason in
// problem, when anything failed.
using Operation = std::function<bool(const QString &port, const QString &output)>;
bool run(const QStringList &arguments, bool spoiled, const QString &outputName,
         const Operation &operation, Outcome &outcome, QString &problem);

} // namespace LineComparison
