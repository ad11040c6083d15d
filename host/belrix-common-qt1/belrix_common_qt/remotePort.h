#pragma once

#include "belrix_common_qt_export.h"

#include <QObject>
#include <QString>

namespace belrix_common_qt {

class remoteDevice_t;

// A device's data port: the connection state of its source and the data model behind it.
class BELRIX_COMMON_QT_EXPORT remotePort_t : public QObject
{
    Q_OBJECT
public:
    explicit remotePort_t(QObject* parent = nullptr);
    ~remotePort_t() override;

    remoteDevice_t* device() const;   // owned by the port
    bool isConnected() const;
    QString sourceDescription() const;
    void setSourceDescription(QString const& text);

public slots:
    void setConnected(bool connected);

signals:
    void connectionChanged(bool connected);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
