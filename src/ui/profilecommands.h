#pragma once

#include "profilefile.h"

#include <QList>
#include <QObject>

#include <memory>

class OperationProgress;
class OperationRunner;
class ProgressPanel;
class QMyTableWidget;
class QAction;
class QMenu;
class QWidget;
class RegisterConnection;
class TableTabs;
struct RegisterProfile;

// The profile commands: a profile holds every table of a register, saved
// from the register to a file or loaded from one into the grids; and the
// write that makes the register hold what every grid shows.
class ProfileCommands : public QObject
{
    Q_OBJECT
public:
    // checkWrites tells whether the write of every table checks what it wrote.
    ProfileCommands(TableTabs &tabs, RegisterConnection &connection, OperationRunner &runner,
                    ProgressPanel &progressPanel, OperationProgress &progress,
                    const QAction &checkWrites, QWidget *window);
    ~ProfileCommands() override;

    // Returns the actions added, each of which starts an operation.
    QList<QAction *> addToMenu(QMenu *menu);

private:
    void saveProfile();
    void loadProfile();
    void writeAll();
    int saveProfileFile();
    int loadProfileFile();
    int applyProfile(const ProfileFile::Checked &checked, const QList<QMyTableWidget *> &editors);
    int writeAllTables();
    // The port and the register there, asked for its identification only.
    QString registerToWrite();
    // Whether to go on with the profile a save read in part before, asked
    // only when there is one; it is taken either way.
    RegisterProfile profileToGoOn();

    TableTabs &m_tabs;
    RegisterConnection &m_connection;
    OperationRunner &m_runner;
    ProgressPanel &m_progressPanel;
    OperationProgress &m_progress;
    const QAction &m_checkWrites;
    QWidget *m_window;
    // What a save that stopped or failed had read, for the next one.
    std::unique_ptr<RegisterProfile> m_partialProfile;
};
