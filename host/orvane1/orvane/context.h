#pragma once

#include "orvane_export.h"

#include <QObject>
#include <QString>

namespace belrix_common_qt {
class remoteController_t;
class satForecaster_t;
}

namespace orvane {

// What the application's navigation side offers every window.
class ORVANE_EXPORT controllerContext_t
{
public:
    controllerContext_t();
    ~controllerContext_t();
    controllerContext_t(controllerContext_t const&) = delete;
    controllerContext_t& operator=(controllerContext_t const&) = delete;

    belrix_common_qt::remoteController_t* controller() const;
    // Null until the application installs a forecaster.
    belrix_common_qt::satForecaster_t* satForecaster() const;
    void setSatForecaster(belrix_common_qt::satForecaster_t* forecaster);

private:
    class private_t;
    private_t* d;
};

// The application context handed to every device and window.
class ORVANE_EXPORT context_t : public QObject
{
    Q_OBJECT
public:
    explicit context_t(QObject* parent = nullptr);
    ~context_t() override;

    controllerContext_t* controllerContext() const;

    // Directory of the alarm sounds; a per-user folder unless set.
    QString soundsDir() const;
    void setSoundsDir(QString const& path);
    QString soundFilePath(QString const& name) const;

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
