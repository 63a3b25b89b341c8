#include "csvline.h"

namespace CsvLine {

namespace {

constexpr QChar quote = QLatin1Char('"');
constexpr QLatin1String doubledQuote("\"\"", 2);

// One trailing, then one leading double quote removed.
QString unquoted(QString value)
{
    if (value.endsWith(quote))
        value.chop(1);
    if (value.startsWith(quote))
        value.remove(0, 1);
    return value;
}

// The text between the formula's quotes, in which a quote is doubled.
QString formulaText(const QString &formula)
{
    return formula.mid(2, formula.size() - 3).replace(doubledQuote, QString(quote));
}

// A quoted field as spreadsheets write it, from its opening quote at at: a
// quote inside doubled, the closing one before a separator or the line's end,
// where at is left. False for any other, such as a single quote inside.
bool quotedField(const QString &line, QChar separator, int &at, QString &value)
{
    value.clear();
    ++at;
    while (at < line.size()) {
        const QChar character = line.at(at++);
        if (character != quote) {
            value += character;
        } else if (at < line.size() && line.at(at) == quote) {
            value += quote;
            ++at;
        } else {
            return at == line.size() || line.at(at) == separator;
        }
    }
    return false;
}

// The fields of a line whose quoted fields are all as spreadsheets write them.
bool spreadsheetFields(const QString &line, QChar separator, QStringList &fields)
{
    int at = 0;
    do {
        QString value;
        if (at < line.size() && line.at(at) == quote) {
            if (!quotedField(line, separator, at, value))
                return false;
            if (isTextFormula(value))
                value = formulaText(value);
        } else {
            const int end = line.indexOf(separator, at);
            value = fieldValue(line.mid(at, end < 0 ? -1 : end - at));
            at = end < 0 ? line.size() : end;
        }
        fields << value;
    } while (at++ < line.size());
    return true;
}

} // namespace

bool isTextFormula(const QString &value)
{
    return value.size() >= 3 && value.startsWith(QLatin1String("=\"")) && value.endsWith(quote);
}

QString fieldValue(const QString &field)
{
    if (isTextFormula(field))
        return formulaText(field);
    const QString value = unquoted(field);
    if (value.startsWith(QLatin1String("=\"\""))) {
        const QString formula = QString(value).replace(doubledQuote, QString(quote));
        if (isTextFormula(formula))
            return formulaText(formula);
    }
    return value;
}

QStringList fields(const QString &line, QChar separator)
{
    QStringList fields;
    if (spreadsheetFields(line, separator, fields))
        return fields;
    fields = line.split(separator);
    for (QString &field : fields)
        field = fieldValue(field);
    return fields;
}

} // namespace CsvLine
