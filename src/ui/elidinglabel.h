#pragma once

#include <QLabel>

// A status text that makes do with the room it gets: narrower than its text,
// it shows the start and the end with an ellipsis between, and the tooltip
// holds the whole text, with a note below it where there is one. It gives up
// width down to a few words' worth, no further.
class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    // Rather than setText, which would leave the tooltip behind.
    void setFullText(const QString &text);
    // More about the text, for the tooltip only.
    void setNote(const QString &note);
    // A text that matters most keeps its whole width while the bar has it: the
    // others give up theirs first.
    void setKeptWhole(bool whole);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateToolTip();

    QString m_note;
    bool m_keptWhole = false;
};
