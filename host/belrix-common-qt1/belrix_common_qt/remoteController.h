#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/deviceEntry.h"

#include <QObject>

#include <cstdint>

namespace endian {
typedef std::uint32_t u32_t;
}

namespace belrix_common_qt {

class almMgrGlonass_t;
class almMgrGps_t;
class coordConverter_t;

// Application-wide navigation data: almanacs, the display coordinate converter and the
// rate-of-turn settings.
class BELRIX_COMMON_QT_EXPORT remoteController_t : public QObject
{
    Q_OBJECT
public:
    explicit remoteController_t(QObject* parent = nullptr);
    ~remoteController_t() override;

    almMgrGps_t* almMgrGps() const;
    almMgrGlonass_t* almMgrGlonass() const;
    coordConverter_t* coordConverter() const;
    // Takes ownership; null restores the identity converter.
    void setCoordConverter(coordConverter_t* converter);

    // Heading samples over which rate of turn is computed; 0 lets the source decide.
    unsigned int rotSampleSize() const;
    void setRotSampleSize(unsigned int size);

    // The host's devices in the host's order, as the host publishes them (its device
    // store does so on every change), for selectors that must not know the host.
    deviceEntryList_t devices() const;
    void setDevices(deviceEntryList_t const& devices);

signals:
    void rotSampleSizeUpdated(endian::u32_t size);
    void devicesChanged();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
