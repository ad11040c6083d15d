#pragma once

#include <QDialog>

namespace orvane {
namespace app {

class deviceFeed_t;

// The last lines a device received, with their arrival times; rejected lines are marked with
// the reason (bad checksum, unknown sentence, malformed). Above them the device's source, its
// state and its line counters.
class dlgRawNmea_t : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RefreshIntervalMs = 500;

    dlgRawNmea_t(deviceFeed_t* feed, QString const& deviceName, QWidget* parent = nullptr);
    ~dlgRawNmea_t() override;

    void setFeed(deviceFeed_t* feed);
    void setDeviceName(QString const& name);
    int rowCount() const;
    // The reason shown for a rejected line; empty for an accepted one.
    static QString reasonText(int result);
    // Non-printable bytes as \xNN, so garbage shows what it is.
    static QString printable(QByteArray const& line);

public slots:
    // Brings the list and the counters up to date with the feed.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
