#include "filedialogs.h"

#include "preferences.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace FileDialogs {

namespace {

QString lastFolder()
{
    const QString folder = Preferences::value(Preferences::FileFolder).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

QString remembered(const QString &path)
{
    if (!path.isEmpty())
        Preferences::setValue(Preferences::FileFolder, QFileInfo(path).absolutePath());
    return path;
}

} // namespace

QString askOpen(QWidget *parent, const QString &title, const QString &filter)
{
    return remembered(QFileDialog::getOpenFileName(parent, title, lastFolder(), filter));
}

QString askSave(QWidget *parent, const QString &title, const QString &filter, const QString &what,
                QString *selectedFilter)
{
    QString chosenFilter = filter.section(QStringLiteral(";;"), 0, 0);
    const QString suggested = suggestedName(what) + filterExtension(chosenFilter);
    QString path = QFileDialog::getSaveFileName(
        parent, title, QDir(lastFolder()).filePath(suggested), filter, &chosenFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += filterExtension(chosenFilter);
    if (selectedFilter)
        *selectedFilter = chosenFilter;
    return remembered(path);
}

QString suggestedName(const QString &what)
{
    QString name =
        what.simplified() + QLatin1Char(' ') + QDate::currentDate().toString(Qt::ISODate);
    return name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
}

QString filterExtension(const QString &filter)
{
    const QRegularExpressionMatch pattern =
        QRegularExpression(QStringLiteral("\\*(\\.[A-Za-z0-9]+)")).match(filter);
    return pattern.hasMatch() ? pattern.captured(1) : QString();
}

} // namespace FileDialogs
