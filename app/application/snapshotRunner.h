#pragma once

#include <QString>

namespace orvane {
namespace app {

class deviceLifecycle_t;
class orvaneApplication_t;

// The headless run: steps the data time by hand for a while, then writes a PNG of the main
// window, every device, its pages and raw view, and every application window.
class snapshotRunner_t
{
public:
    snapshotRunner_t(orvaneApplication_t* application, deviceLifecycle_t* devices);

    // Returns the process exit code.
    int run(QString const& dir, double runFor);

    // A window's title as a file name part: "Error Ellipse Plot" is "error-ellipse-plot".
    static QString fileNamePart(QString text);

private:
    orvaneApplication_t* m_application;
    deviceLifecycle_t* m_devices;
};

} // namespace app
} // namespace orvane
