#include "belrix_common_qt/remoteController.h"

#include "belrix_common_qt/almMgrGlonass.h"
#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/coordConverter.h"

#include <memory>

namespace belrix_common_qt {

class remoteController_t::private_t
{
public:
    almMgrGps_t* gps = nullptr;
    almMgrGlonass_t* glonass = nullptr;
    std::unique_ptr<coordConverter_t> converter{new coordConverter_t};
    unsigned int rotSampleSize = 0;
    deviceEntryList_t devices;
};

remoteController_t::remoteController_t(QObject* parent) : QObject(parent), d(new private_t)
{
    d->gps = new almMgrGps_t(this);
    d->glonass = new almMgrGlonass_t(this);
}

remoteController_t::~remoteController_t() { delete d; }

almMgrGps_t* remoteController_t::almMgrGps() const { return d->gps; }
almMgrGlonass_t* remoteController_t::almMgrGlonass() const { return d->glonass; }
coordConverter_t* remoteController_t::coordConverter() const { return d->converter.get(); }

void remoteController_t::setCoordConverter(coordConverter_t* converter)
{
    d->converter.reset(converter ? converter : new coordConverter_t);
}

unsigned int remoteController_t::rotSampleSize() const { return d->rotSampleSize; }

void remoteController_t::setRotSampleSize(unsigned int size)
{
    if (d->rotSampleSize == size)
        return;
    d->rotSampleSize = size;
    emit rotSampleSizeUpdated(size);
}

deviceEntryList_t remoteController_t::devices() const { return d->devices; }

void remoteController_t::setDevices(deviceEntryList_t const& devices)
{
    if (d->devices == devices)
        return;
    d->devices = devices;
    emit devicesChanged();
}

} // namespace belrix_common_qt
