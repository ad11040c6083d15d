#pragma once

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>

// The shared real captures and almanacs, where CTest points ORVANE_SHARED_DATA; tests skip
// without them.
inline QString sharedDataPath(QString const& relative)
{
    QByteArray const root = qgetenv("ORVANE_SHARED_DATA");
    if (root.isEmpty())
        return QString();
    QString const path = QString::fromLocal8Bit(root) + QLatin1Char('/') + relative;
    return QFile::exists(path) ? path : QString();
}

// Seconds since 1970 of a UTC date and time.
inline double utcSeconds(int year, int month, int day, int hour = 0, int minute = 0, double second = 0.0)
{
    return double(QDate(year, month, day).toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * 86400.0
           + hour * 3600.0 + minute * 60.0 + second;
}
