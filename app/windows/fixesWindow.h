#pragma once

#include <orvane/mainWindowDialog.h>

namespace orvane {

namespace fixes {
struct fix_t;
}

namespace app {

// Every fix of the application's fix store, newest first, with its time, position in the
// user's lat/lon format, height, type, description and device; exports them as GPX.
class fixesWindow_t : public orvane::mainWindowDialog_t
{
    Q_OBJECT
public:
    enum column_t {
        columnTime,
        columnLatitude,
        columnLongitude,
        columnHeight,
        columnType,
        columnDescription,
        columnDevice,
        columnCount
    };

    fixesWindow_t(orvane::context_t* context, QWidget* parent);
    ~fixesWindow_t() override;

    // One line for a status bar: what was recorded, where and from which device.
    static QString fixSummary(orvane::fixes::fix_t const& fix);
    // Its two halves: what was recorded from which device, and where and when.
    static QString fixTitle(orvane::fixes::fix_t const& fix);
    static QString fixPlace(orvane::fixes::fix_t const& fix);
    // Where, in the user's lat/lon format; when, in full with the user's UTC offset.
    static QString fixPosition(orvane::fixes::fix_t const& fix);
    static QString fixTime(orvane::fixes::fix_t const& fix);
    // Writes every fix to path as GPX; false, telling the user why, when it cannot.
    bool exportGpxTo(QString const& path);

public slots:
    // Asks for a file and exports to it.
    void exportGpx();
    // Refills the list from the store.
    void updateFixList();

private slots:
    void handleStoreProblem(QString const& message);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
