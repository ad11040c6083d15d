#pragma once

#include "orvane_fixes_export.h"
#include "orvane/fixes/fix.h"

#include <QList>
#include <QObject>
#include <QString>

namespace orvane {
namespace fixes {

// The application's fix store, one per process. Every fix is on disk before addFix
// returns, so a crash a moment later loses nothing. A fix the store cannot take (full disk,
// store held by another program) is never dropped: it is kept in memory, marked unsaved,
// and written as soon as the store can be written again.
//
// The store is an append-only journal, one JSON record per line. A record damaged by a
// crash or by hand is skipped on reading without losing the records around it.
class ORVANE_FIXES_EXPORT fixManager_t : public QObject
{
    Q_OBJECT
public:
    static fixManager_t* instance();

    // Opens (creating if needed) the store at path and reads the fixes in it. Without a
    // call, the store lives in the per-user data folder. False, with a message for the
    // user, when the file cannot be opened; the fixes readable in it are still loaded.
    // Damaged records skipped while reading do not make it fail, but are reported in
    // errorMessage and through storeProblem.
    bool open(QString const& path, QString* errorMessage = nullptr);
    QString path() const;
    // Lets go of the store (and of its lock, so another program may write it); the next use
    // opens it again. Returns the fixes that still could not be saved, which are dropped:
    // the caller must tell the user of them.
    QList<fix_t> close();
    // The store's default file: "fixes.journal" in the per-user data folder.
    static QString defaultPath();

    // Records a fix; false (nothing recorded) only when the fix is refused: a time or
    // coordinate that is not finite, or a coordinate out of range (longitude beyond ±π,
    // latitude beyond ±π/2). A height that is not finite is kept as unknown rather than
    // losing the fix. A fix that cannot be written yet is recorded unsaved (see above);
    // errorString() then says why.
    bool addFix(unsigned int portId, double time, fixType_t type, tolvgeodesy::coordLL_t const& coord,
                double height, QString const& description);
    QList<fix_t> fixes() const;
    int count() const;
    // Fixes recorded but not yet in the store.
    int unsavedCount() const;
    // Tries at once to write the unsaved fixes (a timer retries on its own); true when none is left.
    bool writeUnsaved();
    // The last problem reported through storeProblem; empty when there was none.
    QString errorString() const;

    // Writes all fixes as GPX 1.1 waypoints, atomically.
    bool exportGpx(QString const& path, QString* errorMessage = nullptr) const;

signals:
    // A new fix, saved or (fix.saved false) held in memory.
    void fixAdded(orvane::fixes::fix_t const& fix);
    // A fix held in memory has reached the store; its id may have changed on the way.
    void fixSaved(orvane::fixes::fix_t const& fix);
    // A problem the user should see (a store that cannot be written, damaged records skipped).
    void storeProblem(QString const& message);
    // The whole list of fixes was replaced by the ones of another file.
    void storeOpened();

private:
    fixManager_t();
    ~fixManager_t() override;

    class private_t;
    private_t* d;
};

} // namespace fixes
} // namespace orvane
