#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/almanacGps.h"

#include <QObject>

#include <vector>

namespace belrix_common_qt {

// The application's GPS almanac: the newest entry of each satellite.
class BELRIX_COMMON_QT_EXPORT almMgrGps_t : public QObject
{
    Q_OBJECT
public:
    explicit almMgrGps_t(QObject* parent = nullptr);
    ~almMgrGps_t() override;

    unsigned int num() const;
    // Reference times of the oldest and newest entry, seconds since 1970-01-01 UTC; 0 when empty.
    unsigned int oldest() const;
    unsigned int newest() const;
    std::vector<almanacGps_t> entries() const;
    // Changes whenever the entries do, so a reader can tell that its copy is stale.
    unsigned int revision() const;

    // Keeps the entry unless one of the same satellite is newer.
    void addAlmanac(almanacGps_t const& almanac);
    void clear();

signals:
    void cleared();
    void almanacUpdated(belrix_common_qt::almanacGps_t const& almanac);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
