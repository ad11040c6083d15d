#include "forecastEngine.h"

#include <belrix_common_qt/almanacFolder.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/satForecaster.h>
#include <orvane/context.h>

#include <QPointer>

#include <memory>

namespace orvane {
namespace app {

class forecastEngine_t::private_t
{
public:
    QPointer<orvane::context_t> context;
    std::unique_ptr<belrix_common_qt::satForecaster_t> forecaster;
    belrix_common_qt::almanacFolder_t* folder = nullptr;
    QStringList reported;
};

forecastEngine_t::forecastEngine_t(orvane::context_t* context, QObject* parent) : QObject(parent), d(new private_t)
{
    d->context = context;
    auto* controller = context->controllerContext()->controller();
    d->forecaster = std::make_unique<belrix_common_qt::satForecaster_t>(controller->almMgrGps(),
                                                                          controller->almMgrGlonass());
    context->controllerContext()->setSatForecaster(d->forecaster.get());
    d->folder = new belrix_common_qt::almanacFolder_t(controller->almMgrGps(), controller->almMgrGlonass(), this);
    connect(d->folder, &belrix_common_qt::almanacFolder_t::errorsChanged, this, [this] {
        // each problem once, not again on every change of another file
        QStringList const now = d->folder->errors();
        for (QString const& message : now) {
            if (!d->reported.contains(message))
                emit almanacProblem(message);
        }
        d->reported = now;
    });
}

forecastEngine_t::~forecastEngine_t()
{
    if (d->context && d->context->controllerContext()->satForecaster() == d->forecaster.get())
        d->context->controllerContext()->setSatForecaster(nullptr);
    delete d;
}

void forecastEngine_t::setAlmanacFolder(QString const& path) { d->folder->setPath(path); }
QString forecastEngine_t::almanacFolder() const { return d->folder->path(); }
QStringList forecastEngine_t::almanacProblems() const { return d->folder->errors(); }

} // namespace app
} // namespace orvane
