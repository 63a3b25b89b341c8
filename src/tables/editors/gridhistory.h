#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class GridRollback;
class QTableWidget;

// The changes made to the grids in the program, as steps to undo and redo:
// one step is one named change of one or more grids, whatever its size. A
// step keeps only what its change replaced (GridRollback); undone, it keeps
// what the undo took out instead.
class GridHistory : public QObject
{
    Q_OBJECT
public:
    using Parts = std::vector<std::unique_ptr<GridRollback>>;

    // The items the steps keep cost memory: past keptCellsLimit of them the
    // oldest steps go, the newest always stays. Four full goods loads.
    explicit GridHistory(QObject *parent = nullptr, std::size_t keptCellsLimit = 2000000);
    ~GridHistory() override;

    // A new step drops the steps undone before it.
    void record(const QString &name, Parts parts);
    void undo();
    void redo();
    // Empty when there is nothing to undo or redo.
    QString undoName() const;
    QString redoName() const;
    // The register is the grid's truth from a read or write on: the steps
    // that changed the grid go, with the other grids' parts of them, and the
    // steps beyond them that those parts' grids depend on.
    void forget(const QTableWidget &grid);

signals:
    void changed();

private:
    struct Step
    {
        QString name;
        Parts parts;
    };
    using Steps = std::vector<Step>;

    static void move(Steps &from, Steps &to);
    static std::size_t kept(const Step &step);
    void dropOldest();
    static void forget(Steps &steps, const QTableWidget &grid);

    const std::size_t m_keptCellsLimit;
    Steps m_undo;
    Steps m_redo;
};
