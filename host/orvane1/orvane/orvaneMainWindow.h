#pragma once

#include "orvane_export.h"

#include <QMainWindow>

namespace orvane {

// The application's main windows: a top-level window that may be owned by any object.
class ORVANE_EXPORT orvaneMainWindow_t : public QMainWindow
{
    Q_OBJECT
public:
    explicit orvaneMainWindow_t(QObject* parent = nullptr);
    ~orvaneMainWindow_t() override;

    // Writes the window as it is drawn now to a PNG file.
    bool saveSnapshot(QString const& path);
};

} // namespace orvane
