#include "snapshotRunner.h"

#include "deviceFeed.h"
#include "deviceLifecycle.h"
#include "orvaneApplication.h"
#include "safeFileName.h"
#include "windows/dlgRawNmea.h"
#include "windows/mainWindow.h"

#include <orvane/device.h>
#include <orvane/orvaneDialog.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace orvane {
namespace app {

snapshotRunner_t::snapshotRunner_t(orvaneApplication_t* application, deviceLifecycle_t* devices)
    : m_application(application), m_devices(devices)
{
}

QString snapshotRunner_t::fileNamePart(QString text) { return safeFileName_t::part(text, QStringLiteral("window")); }

int snapshotRunner_t::run(QString const& dirPath, double runFor)
{
    QDir dir(dirPath);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "orvane: cannot create the snapshot folder %s\n", qPrintable(dirPath));
        return 1;
    }
    // Headless, nobody can answer a window's warning: print it and close it.
    QTimer dismisser;
    dismisser.setInterval(50);
    QObject::connect(&dismisser, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "orvane: %s: %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            box->done(QMessageBox::Ok);
        }
    });
    dismisser.start();
    // Windows that update on a timer of their own (the QC graphs) are stepped with the data
    // time too, so what they gather over the run does not depend on the machine's speed.
    QList<QWidget*> selfUpdating;
    for (orvane::device_t* device : m_devices->devices()) {
        for (orvane::orvanePage_t* page : device->pageGroup()->pages()) {
            if (page->widget() && page->widget()->metaObject()->indexOfMethod("updateActiveGraph()") >= 0)
                selfUpdating << page->widget();
        }
    }
    const int steps = int(std::ceil(runFor));
    for (int i = 0; i < steps; ++i) {
        m_devices->stepSources(1.0);
        m_application->tick();
        for (QWidget* window : selfUpdating)
            QMetaObject::invokeMethod(window, "updateActiveGraph");
        QApplication::processEvents();
    }

    struct shot_t {
        QString file;
        QWidget* widget;
    };
    QList<shot_t> shots;
    shots.append({QStringLiteral("main-window.png"), m_application->mainWindow()});
    for (orvane::device_t* device : m_devices->devices()) {
        const QString base = QStringLiteral("device-") + fileNamePart(device->deviceName());
        shots.append({base + QStringLiteral(".png"), device});
        for (orvane::orvanePage_t* page : device->pageGroup()->pages()) {
            if (page->widget())
                shots.append({base + QLatin1Char('-') + fileNamePart(page->title()) + QStringLiteral(".png"), page->widget()});
        }
        if (deviceFeed_t* f = deviceLifecycle_t::feed(device)) {
            auto* raw = device->findChild<dlgRawNmea_t*>(QString(), Qt::FindDirectChildrenOnly);
            shots.append({base + QStringLiteral("-raw-nmea.png"), raw ? raw : new dlgRawNmea_t(f, device->deviceName(), device)});
        }
    }
    for (orvane::orvaneDialog_t* window : m_application->applicationWindows())
        shots.append({QStringLiteral("window-") + fileNamePart(window->windowTitle()) + QStringLiteral(".png"), window});

    for (shot_t const& shot : shots)
        shot.widget->show();
    // one more tick so windows that draw on the clock have their data on screen
    QApplication::processEvents();
    m_application->tick();
    for (QWidget* window : selfUpdating)
        QMetaObject::invokeMethod(window, "updateActiveGraph");
    QApplication::processEvents();

    int failures = 0;
    for (shot_t const& shot : shots) {
        const QString path = dir.filePath(shot.file);
        if (!shot.widget->grab().save(path, "PNG")) {
            std::fprintf(stderr, "orvane: could not write %s\n", qPrintable(path));
            ++failures;
        }
    }
    std::printf("orvane: wrote %d snapshots after %g s of data time to %s\n", int(shots.size()) - failures, runFor,
                qPrintable(QDir::toNativeSeparators(dir.absolutePath())));
    return failures == 0 ? 0 : 1;
}

} // namespace app
} // namespace orvane
