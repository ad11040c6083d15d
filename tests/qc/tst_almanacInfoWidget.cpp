#include "instruments/almanacInfoWidget.h"

#include <belrix_common_qt/almMgrGlonass.h>
#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/gnssTime.h>
#include <belrix_common_qt/textFormat.h>

#include <QLabel>
#include <QtTest>

using orvane::qc::almanacInfoWidget_t;
using namespace belrix_common_qt;

namespace {

// An entry whose reference time is t (seconds since 1970, UTC).
almanacGps_t gpsAt(unsigned int prn, double t)
{
    almanacGps_t a;
    a.prn = prn;
    const double sinceGpsEpoch = gpsTimeFromUtc(t);
    a.week = unsigned(sinceGpsEpoch / 604800.0);
    a.toa = sinceGpsEpoch - a.week * 604800.0;
    return a;
}

QString label(QWidget const& widget, char const* name) { return widget.findChild<QLabel*>(name)->text(); }

} // namespace

class tst_almanacInfoWidget : public QObject
{
    Q_OBJECT

private slots:
    void timesAreShownInUtc()
    {
        QCOMPARE(almanacInfoWidget_t::timeString(0), QStringLiteral("Thu Jan 1 00:00:00 1970 UTC"));
        QCOMPARE(almanacInfoWidget_t::timeString(1000086400), QStringLiteral("Mon Sep 10 01:46:40 2001 UTC"));
    }

    // The labels follow the attached managers' signals, and only theirs.
    void labelsFollowTheAttachedManagers()
    {
        almanacInfoWidget_t widget;
        almMgrGps_t first;
        almMgrGps_t second;
        widget.setAlmMgrGps(&first);
        QCOMPARE(label(widget, "gpsCountLabel"), QStringLiteral("0"));
        QCOMPARE(label(widget, "gpsOldestLabel"), NoDataString);
        QCOMPARE(label(widget, "glonassCountLabel"), QStringLiteral("--"));   // no manager

        first.addAlmanac(gpsAt(3, 1000086400.0));
        first.addAlmanac(gpsAt(1, 1000000000.0));
        first.addAlmanac(gpsAt(2, 1000040000.0));
        QCOMPARE(label(widget, "gpsCountLabel"), QStringLiteral("3"));
        QCOMPARE(label(widget, "gpsOldestLabel"), almanacInfoWidget_t::timeString(1000000000));
        QCOMPARE(label(widget, "gpsNewestLabel"), almanacInfoWidget_t::timeString(1000086400));

        first.clear();
        QCOMPARE(label(widget, "gpsCountLabel"), QStringLiteral("0"));
        QCOMPARE(label(widget, "gpsNewestLabel"), NoDataString);

        widget.setAlmMgrGps(&second);
        first.addAlmanac(gpsAt(5, 1000000000.0));
        QCOMPARE(label(widget, "gpsCountLabel"), QStringLiteral("0"));

        almMgrGlonass_t glonass;
        widget.setAlmMgrGlonass(&glonass);
        QCOMPARE(label(widget, "glonassCountLabel"), QStringLiteral("0"));
    }
};

QTEST_MAIN(tst_almanacInfoWidget)
#include "tst_almanacInfoWidget.moc"
