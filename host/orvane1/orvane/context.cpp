#include "orvane/context.h"

#include <belrix_common_qt/remoteController.h>

#include <QDir>
#include <QStandardPaths>

namespace orvane {

class controllerContext_t::private_t
{
public:
    belrix_common_qt::remoteController_t controller;
    belrix_common_qt::satForecaster_t* forecaster = nullptr;
};

controllerContext_t::controllerContext_t() : d(new private_t) {}
controllerContext_t::~controllerContext_t() { delete d; }

belrix_common_qt::remoteController_t* controllerContext_t::controller() const { return &d->controller; }
belrix_common_qt::satForecaster_t* controllerContext_t::satForecaster() const { return d->forecaster; }
void controllerContext_t::setSatForecaster(belrix_common_qt::satForecaster_t* forecaster) { d->forecaster = forecaster; }

class context_t::private_t
{
public:
    controllerContext_t controllerContext;
    QString soundsDir;
};

context_t::context_t(QObject* parent) : QObject(parent), d(new private_t)
{
    d->soundsDir = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("sounds"));
}

context_t::~context_t() { delete d; }

controllerContext_t* context_t::controllerContext() const { return &d->controllerContext; }
QString context_t::soundsDir() const { return d->soundsDir; }
void context_t::setSoundsDir(QString const& path) { d->soundsDir = path; }

QString context_t::soundFilePath(QString const& name) const { return QDir(d->soundsDir).filePath(name); }

} // namespace orvane
