#pragma once

#include "orvane_fixes_export.h"
#include "orvane/fixes/fix.h"

#include <QList>
#include <QObject>
#include <QString>

namespace orvane {
namespace fixes {

// The application's fix store, one per process. Every fix is on disk before addFix
// returns, so a crash a moment later loses nothing.
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
    // opens it again.
    void close();
    // The store's default file: "fixes.journal" in the per-user data folder.
    static QString defaultPath();

    // Records a fix; false (nothing recorded in memory either) when it cannot be written.
    // A time or coordinate that is not finite, or a coordinate out of range (longitude
    // beyond ±π, latitude beyond ±π/2), is refused. A height that is not finite is kept
    // as unknown rather than losing the fix.
    bool addFix(unsigned int portId, double time, fixType_t type, tolvgeodesy::coordLL_t const& coord,
                double height, QString const& description);
    QList<fix_t> fixes() const;
    int count() const;
    // The last problem reported through storeProblem; empty when there was none.
    QString errorString() const;

    // Writes all fixes as GPX 1.1 waypoints, atomically.
    bool exportGpx(QString const& path, QString* errorMessage = nullptr) const;

signals:
    void fixAdded(orvane::fixes::fix_t const& fix);
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
