#include "fixConfirmation.h"

#include "alarmPlayer.h"
#include "windows/fixesWindow.h"

#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <orvane/fixes/fix.h>
#include <orvane/fixes/fixManager.h>

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QLayout>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVariant>

namespace orvane {
namespace app {

namespace {
// A label of its own rather than a status bar message: a message is cut to one line, and a
// position must never be read with its last digits missing.
void showIn(QMainWindow* window, QString const& text, QString const& details)
{
    QStatusBar* bar = window->statusBar();
    bar->show();   // made just now in a window already on screen, it would stay hidden
    auto* label = bar->findChild<QLabel*>(fixConfirmation_t::labelName());
    if (!label) {
        label = new QLabel(bar);
        label->setObjectName(fixConfirmation_t::labelName());
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        bar->insertPermanentWidget(0, label, 1);
    }
    label->setText(text);
    label->setToolTip(details);
    label->show();
    // in a narrow window the other labels step aside while the fix is shown
    const char* const steppedAside = "steppedAsideForFix";
    int needed = label->sizeHint().width();
    for (QLabel* other : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other != label && other->isVisible())
            needed += other->sizeHint().width() + bar->layout()->spacing();
    }
    if (needed > bar->width() - bar->style()->pixelMetric(QStyle::PM_SizeGripSize)) {
        for (QLabel* other : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other != label && other->isVisible()) {
                other->hide();
                other->setProperty(steppedAside, true);
            }
        }
    }
    // the latest confirmation decides when the label goes
    const int shown = label->property("shown").toInt() + 1;
    label->setProperty("shown", shown);
    QPointer<QLabel> guard = label;
    QTimer::singleShot(fixConfirmation_t::MessageMs, label, [guard, shown, steppedAside] {
        if (!guard || guard->property("shown").toInt() != shown)
            return;
        guard->hide();
        for (QLabel* other : guard->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other->property(steppedAside).toBool()) {
                other->setProperty(steppedAside, QVariant());
                other->show();
            }
        }
    });
}
} // namespace

class fixConfirmation_t::private_t
{
public:
    alarmPlayer_t* player = nullptr;
    QString soundFile;
    QPointer<QMainWindow> mainWindow;
};

QString fixConfirmation_t::labelName() { return QStringLiteral("fixConfirmationLabel"); }

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
    // short lines, so that a narrow window shows them whole
    QStringList lines{fixesWindow_t::fixTitle(fix)};
    if (!fix.saved)
        lines << tr("NOT SAVED YET - note it by hand:");
    lines << fixesWindow_t::fixPosition(fix) << fixesWindow_t::fixTime(fix);
    if (!fix.saved && !storeProblem.isEmpty())
        lines << storeProblem;
    return lines.join(QLatin1Char('\n'));
}

void fixConfirmation_t::confirm(orvane::fixes::fix_t const& fix)
{
    const QString kept = tr("It is kept in memory and saved as soon as the fix store can be written.");
    const QString problem = orvane::fixes::fixManager_t::instance()->errorString();
    // the reason can be long (a path): a tooltip and the warning carry it, the status bar does not
    show(fix.portId, message(fix, QString()), fix.saved ? QString() : problem + QLatin1Char('\n') + kept);
    // even an unsaved fix was taken: the sound confirms the key press, the text says the rest
    if (d->player)
        d->player->play(d->soundFile);
    if (!fix.saved)
        emit unsavedFix(message(fix, problem) + QLatin1Char('\n') + kept);
}

void fixConfirmation_t::confirmSaved(orvane::fixes::fix_t const& fix)
{
    show(fix.portId, tr("Now saved: %1").arg(message(fix, QString())), QString());
}

void fixConfirmation_t::show(unsigned int portId, QString const& text, QString const& details)
{
    if (d->mainWindow)
        showIn(d->mainWindow, text, details);
    if (orvane::device_t* device = orvane::deviceStore_t::instance()->deviceForPortId(portId))
        showIn(device, text, details);
}

} // namespace app
} // namespace orvane
