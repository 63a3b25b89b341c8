#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window of type T (a message box or a file dialog)
// once it is up, from the event loop that the modal window runs. Windows of
// other types are left to their own answerers. Returns the poll, for a test
// to delete when the window may never come.
template <typename T> QTimer *answerNextModal(std::function<void(T *)> answer)
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
    return poll;
}
