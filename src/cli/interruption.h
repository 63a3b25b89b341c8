#pragma once

#include <QObject>

#include <functional>

class OperationProgress;
class QSocketNotifier;

// Turns SIGINT into a request to stop the running operation at its next
// event point, where the work leaves the register and its files whole. A
// second SIGINT ends the program at once. One per process.
class Interruption : public QObject
{
public:
    // then, if given, is called once the request has come.
    explicit Interruption(OperationProgress &progress, std::function<void()> then = {});
    ~Interruption() override;
    bool requested() const { return m_requested; }

private:
    OperationProgress &m_progress;
    QSocketNotifier *m_notifier = nullptr;
    std::function<void()> m_then;
    bool m_requested = false;
};
