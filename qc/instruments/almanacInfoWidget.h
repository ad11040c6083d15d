#pragma once

#include "orvane_qc_export.h"

#include <QWidget>

namespace belrix_common_qt {
class almMgrGlonass_t;
class almMgrGps_t;
}

namespace orvane {
namespace qc {

// How many GPS and GLONASS almanac entries the application holds, and the reference times
// of the oldest and the newest. It follows the managers' signals; no clock is involved.
class ORVANE_QC_EXPORT almanacInfoWidget_t : public QWidget
{
    Q_OBJECT
public:
    explicit almanacInfoWidget_t(QWidget* parent = nullptr);
    ~almanacInfoWidget_t() override;

    // Follows this manager instead of the previous one (not owned; null follows none).
    void setAlmMgrGps(belrix_common_qt::almMgrGps_t* manager);
    void setAlmMgrGlonass(belrix_common_qt::almMgrGlonass_t* manager);

    // A time in seconds since 1970 as shown: in UTC, followed by " UTC".
    static QString timeString(unsigned int time);

public slots:
    void updateUi();

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
