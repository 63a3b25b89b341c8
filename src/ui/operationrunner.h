#pragma once

#include <QString>

#include <functional>

// Runs work as an operation of the window: its text in the status bar, the
// controls that could start a second one disabled meanwhile, and the error
// box of a failure.
class OperationRunner
{
public:
    // work returns a result code; a cancel is reported only with reportCancel.
    virtual void runTableOperation(const QString &text, const std::function<int()> &work,
                                   bool reportCancel) = 0;

protected:
    ~OperationRunner() = default;
};
