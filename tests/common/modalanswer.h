#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window of type T (a message box or a file dialog)
// once it is up, from the event loop that the modal window runs. Windows of
// other types are left to their own answerers.
template <typename T> void answerNextModal(std::function<void(T *)> answer)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        answer(modal);
    });
    poll->start();
}

// Answers the next modal window of type T, as answerNextModal does, but only
// while it lives: a window that never comes is not waited for after it.
template <typename T> class ModalAnswer : public QObject
{
public:
    explicit ModalAnswer(std::function<void(T *)> answer) : m_answer(std::move(answer))
    {
        startTimer(10);
    }

protected:
    void timerEvent(QTimerEvent *) override
    {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal || !m_answer)
            return;
        const std::function<void(T *)> answer = std::move(m_answer);
        m_answer = nullptr;
        answer(modal);
    }

private:
    std::function<void(T *)> m_answer;
};
