#pragma once

#include "orvane_qc_export.h"
#include "accuracy/positionComparisonConfigSettings.h"

#include <orvane/mainWindowDialog.h>

#include <QColor>
#include <QTreeWidgetItem>

namespace orvane {
namespace qc {

// Every device's current position against one centre, the live position of an active
// device or a fixed position: range and bearing in a sortable table and as points on a
// polar plot. Rows of devices whose positions stop arriving age out. With auto scale the
// range grows to take in the farthest device. When there is no centre, or the devices
// lie beyond the largest automatic range, it warns once and opens its settings; a
// confirmed new configuration arms the warnings again. The host creates it once; it
// works only while shown.
class ORVANE_QC_EXPORT dlgPositionComparison_t : public orvane::mainWindowDialog_t
{
    Q_OBJECT
public:
    // One row per device, keyed by the device's description.
    class ORVANE_QC_EXPORT item_t : public QTreeWidgetItem
    {
    public:
        item_t(QString const& name, QColor const& colour, double lat, double lon, double range, double bearing);
        ~item_t() override;
        item_t(item_t const&) = delete;
        item_t& operator=(item_t const&) = delete;

        // lat and lon in radians, range in metres, bearing in degrees; an invalid colour
        // keeps the row's colour. time is the data time of the position in whole seconds.
        void update(int time, double lat, double lon, double range, double bearing, QColor const& colour);
        void setColor(QColor const& colour);

        QString name() const;
        QColor colour() const;
        int time() const;
        double range() const;
        double bearing() const;

        // Range and bearing sort by value, the other columns by text.
        bool operator<(QTreeWidgetItem const& other) const override;

    private:
        class private_t;
        private_t* d;
    };

    dlgPositionComparison_t(orvane::context_t* context, QWidget* parent);
    ~dlgPositionComparison_t() override;

    positionComparisonConfigSettings_t configSettings() const;

    void saveSettings(tolvconfig::config_t& config, int index) override;
    void loadSettings(tolvconfig::config_t& config, int index) override;
    void useDefaults() override;

public slots:
    void handleClockTimeout() override;
    void updateRange();
    void showConfigSettings();
    void getNewConfigSettings();
    void setConfigSettings(orvane::qc::positionComparisonConfigSettings_t settings);
    void updateActiveDevice();
    void updateCenterPosition();
    void agePositions();
    void checkActiveDevice();
    void checkSelection();

private:
    item_t* findItemByName(QString const& name) const;
    void removeItem(item_t* item);
    item_t* selectedItem() const;
    void warn(QString const& title, QString const& text);

    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
