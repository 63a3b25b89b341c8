#include "progresstext.h"

#include <QLocale>

namespace ProgressText {

namespace {

// A word in the forms that follow 1, 2 and 5.
struct Forms
{
    const char *one;
    const char *few;
    const char *many;
};

struct Wording
{
    Forms verb;
    Forms noun;
    const char *label; // of the running count
};

const Wording &wordingOf(Work work)
{
    static const Forms records{"запись", "записи", "записей"};
    static const Wording wordings[] = {
        {{"Прочитана", "Прочитано", "Прочитано"}, records, "Записи"},
        {{"Записано", "Записано", "Записано"}, {"поле", "поля", "полей"}, "Поля"},
        {{"Считан", "Считано", "Считано"}, {"байт", "байта", "байт"}, "Байты"},
        {{"Загружена", "Загружено", "Загружено"}, records, "Байты файла"},
        {{"Сохранена", "Сохранено", "Сохранено"}, records, "Записи"},
        {{"Проверено", "Проверено", "Проверено"}, {"поле", "поля", "полей"}, "Проверка"},
        {{"Загружена", "Загружено", "Загружено"}, records, "Записи"},
        {{"Сверена", "Сверено", "Сверено"}, {"строка", "строки", "строк"}, "Строки прайс-листа"},
        {{"Изменено", "Изменено", "Изменено"}, {"поле", "поля", "полей"}, "Изменения"},
    };
    return wordings[int(work)];
}

const char *formFor(const Forms &forms, qint64 count)
{
    const qint64 lastTwo = qAbs(count) % 100;
    const qint64 last = lastTwo % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return forms.many;
    if (last == 1)
        return forms.one;
    if (last >= 2 && last <= 4)
        return forms.few;
    return forms.many;
}

QString number(qint64 value)
{
    return QLocale(QLocale::Russian, QLocale::Russia).toString(value);
}

} // namespace

QString exchangeTrouble(const ExchangeCounts &counts)
{
    QString trouble;
    if (counts.failures > 0)
        trouble = QStringLiteral(", %1, %2, %3")
                      .arg(counted(counts.exchanges, "обмен", "обмена", "обменов"),
                           counted(counts.retries, "повтор", "повтора", "повторов"),
                           counted(counts.failures, "сбой", "сбоя", "сбоев"));
    if (counts.portWaitMs > 0)
        trouble += QString::fromUtf8(", ожидание порта ") + duration(counts.portWaitMs);
    return trouble;
}

QString done(Work work, qint64 count)
{
    const Wording &wording = wordingOf(work);
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromUtf8(formFor(wording.verb, count)), number(count),
             QString::fromUtf8(formFor(wording.noun, count)));
}

QString counted(qint64 count, const char *one, const char *few, const char *many)
{
    return number(count) + QLatin1Char(' ') + QString::fromUtf8(formFor({one, few, many}, count));
}

QString pasted(qint64 rows)
{
    return QStringLiteral("вставка ") + counted(rows, "строки", "строк", "строк");
}

QString duration(qint64 ms)
{
    if (ms < 1000)
        return QString::fromUtf8("%1 мс").arg(ms);
    if (ms < 10000)
        return QLocale(QLocale::Russian, QLocale::Russia).toString(ms / 1000.0, 'f', 1) +
               QString::fromUtf8(" с");
    const qint64 seconds = ms / 1000;
    if (seconds < 60)
        return QString::fromUtf8("%1 с").arg(seconds);
    if (seconds < 3600)
        return QString::fromUtf8("%1 мин %2 с").arg(seconds / 60).arg(seconds % 60);
    return QString::fromUtf8("%1 ч %2 мин").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

QString running(Work work, qint64 done, qint64 total, double perSecond, qint64 remainingMs)
{
    QString text = QString::fromUtf8(wordingOf(work).label) + QStringLiteral(": ") + number(done);
    if (total >= 0)
        text += QString::fromUtf8(" из ") + number(total);
    text += QStringLiteral(", %1/").arg(number(qRound64(perSecond))) + QString::fromUtf8("с");
    if (remainingMs >= 0)
        text += QString::fromUtf8(", осталось ") + duration(remainingMs);
    return text;
}

QString checked(qint64 count, qint64 total)
{
    if (count >= total)
        return QString::fromUtf8("проверено");
    return done(Work::FieldsChecked, count).toLower() + QString::fromUtf8(" из ") + number(total);
}

QString mismatches(qint64 count, int row, const QString &column)
{
    static const Forms forms{"несовпадение", "несовпадения", "несовпадений"};
    const QString cell = QString::fromUtf8("строка %1, «%2».").arg(row).arg(column);
    return QString::fromUtf8("Проверка записи: %1 %2%3 — %4")
        .arg(number(count), QString::fromUtf8(formFor(forms, count)),
             count == 1 ? QString() : QString::fromUtf8(", первое"), cell);
}

} // namespace ProgressText
