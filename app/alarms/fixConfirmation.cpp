#include "fixConfirmation.h"

#include "alarmPlayer.h"
#include "windows/fixesWindow.h"

#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <orvane/fixes/fix.h>
#include <orvane/fixes/fixManager.h>

#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>

namespace orvane {
namespace app {

class fixConfirmation_t::private_t
{
public:
    alarmPlayer_t* player = nullptr;
    QString soundFile;
    QPointer<QMainWindow> mainWindow;
};

fixConfirmation_t::fixConfirmation_t(alarmPlayer_t* player, QString const& soundFile, QMainWindow* mainWindow,
                                     QObject* parent)
    : QObject(parent), d(new private_t)
{
    d->player = player;
    d->soundFile = soundFile;
    d->mainWindow = mainWindow;
}

fixConfirmation_t::~fixConfirmation_t() { delete d; }

QString fixConfirmation_t::message(orvane::fixes::fix_t const& fix, QString const& storeProblem)
{
    const QString summary = fixesWindow_t::fixSummary(fix);
    if (fix.saved)
        return summary;
    return tr("%1. NOT SAVED YET: %2 It is kept and saved as soon as the store can be written; note it by hand.")
        .arg(summary, storeProblem);
}

void fixConfirmation_t::confirm(orvane::fixes::fix_t const& fix)
{
    const QString text = message(fix, orvane::fixes::fixManager_t::instance()->errorString());
    show(fix.portId, text);
    // even an unsaved fix was taken: the sound confirms the key press, the text says the rest
    if (d->player)
        d->player->play(d->soundFile);
    if (!fix.saved)
        emit unsavedFix(text);
}

void fixConfirmation_t::confirmSaved(orvane::fixes::fix_t const& fix)
{
    show(fix.portId, tr("Now saved: %1").arg(fixesWindow_t::fixSummary(fix)));
}

void fixConfirmation_t::show(unsigned int portId, QString const& text)
{
    if (d->mainWindow)
        d->mainWindow->statusBar()->showMessage(text, MessageMs);
    if (orvane::device_t* device = orvane::deviceStore_t::instance()->deviceForPortId(portId))
        device->statusBar()->showMessage(text, MessageMs);
}

} // namespace app
} // namespace orvane
