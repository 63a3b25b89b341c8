#include "elidinglabel.h"

#include <QPainter>
#include <QStyle>

namespace {

// Enough to tell the texts apart, "Связ…1205)" from "Проч…прервано", and
// few enough for every status text beside the others in a window 800 wide.
constexpr int usableCharacters = 12;

} // namespace

ElidingLabel::ElidingLabel(QWidget *parent) : QLabel(parent) {}

// Beside others with the same stretch, a label wider than its text would
// take as much room as a long text and make that one elide: it grows no
// wider than its whole text, and leaves the rest to the others.
void ElidingLabel::setFullText(const QString &text)
{
    setText(text);
    setMaximumWidth(QLabel::sizeHint().width());
    updateToolTip();
}

void ElidingLabel::setNote(const QString &note)
{
    m_note = note;
    updateToolTip();
}

void ElidingLabel::updateToolTip()
{
    QStringList lines;
    for (const QString &line : {text(), m_note}) {
        if (!line.isEmpty())
            lines << line;
    }
    setToolTip(lines.join(QLatin1Char('\n')));
}

void ElidingLabel::setKeptWhole(bool whole)
{
    m_keptWhole = whole;
    updateGeometry();
}

// A short text needs no more than itself. A layout short of room takes from
// the labels down to their minimum, and below it from the widest first.
QSize ElidingLabel::minimumSizeHint() const
{
    QSize size = QLabel::minimumSizeHint();
    if (m_keptWhole)
        return size;
    const QMargins margins = contentsMargins();
    size.setWidth(qMin(size.width(), fontMetrics().averageCharWidth() * usableCharacters +
                                         margins.left() + margins.right()));
    return size;
}

// The background, a style sheet's included, is the widget's own; only the
// text is drawn here, in the colour the style sheet gives it.
void ElidingLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(),
                          fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()),
                          foregroundRole());
}
