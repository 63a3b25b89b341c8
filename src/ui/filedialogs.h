#pragma once

#include <QString>

class QWidget;

// The window's file dialogs: they start in the folder of the file chosen
// last, suggest a name made of what is saved and the date, and give a name
// without an extension the chosen filter's.
namespace FileDialogs {

QString askOpen(QWidget *parent, const QString &title, const QString &filter);
// what names the contents, as "База товаров" does; selectedFilter, when
// given, receives the filter chosen.
QString askSave(QWidget *parent, const QString &title, const QString &filter, const QString &what,
                QString *selectedFilter = nullptr);

// "База товаров 2026-12-07": a name that says what and when, without the
// characters file names cannot hold.
QString suggestedName(const QString &what);
// ".csv" of "CSV для Excel (*.csv)", the first pattern's; empty for "*.*".
QString filterExtension(const QString &filter);

} // namespace FileDialogs
