#pragma once

#include <QObject>

namespace orvane {
namespace app {

// Turns SIGTERM and SIGINT (a bridge computer shutting down, Ctrl+C) into a signal on the GUI
// thread, so the program ends as when its main window is closed: configuration saved. The
// handler itself only writes a byte to a socket pair; nothing else is safe in it.
class shutdownSignals_t : public QObject
{
    Q_OBJECT
public:
    explicit shutdownSignals_t(QObject* parent = nullptr);
    ~shutdownSignals_t() override;

    // False where the signals cannot be caught (then the system's default stands).
    bool isActive() const;

signals:
    void shutdownRequested(int signalNumber);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
