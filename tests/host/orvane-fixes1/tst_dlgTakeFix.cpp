#include "orvane/fixes/dlgTakeFix.h"
#include "orvane/fixes/fixManager.h"

#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/geodetics/geodeticSettings.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt/textFormat.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace orvane::fixes;
using namespace belrix_common_qt;
using orvane::geodetics::geodeticSettings_t;
using tolvgeodesy::coordLL_t;

namespace {

constexpr double now = 1796498625.0;   // 2026-12-05 19:23:45 UTC
constexpr double lat = 0.9;
constexpr double lon = -0.05;

fixManager_t* store() { return fixManager_t::instance(); }

enum conversion_t { unchanged, toLimits, untouched, failing, notANumber };

dataItem_t<position_t> positionItem(double age, bool latValid = true)
{
    position_t position(lat, lon);
    position.latValid = latValid;
    return dataItem_t<position_t>(position, now - age);
}

} // namespace

struct take_t { double age; bool latValid; int conversion; bool recorded; };
Q_DECLARE_METATYPE(take_t)

class tst_dlgTakeFix : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(store()->open(m_dir->filePath(QStringLiteral("fixes.journal"))));
        dataClock_t::setTime(now);
        m_context = new orvane::context_t;
        m_device = new orvane::device_t(m_context, QStringLiteral("dev1"), nullptr);
        m_device->setPortId(7);
        m_port = new remotePort_t;
        m_device->setPort(m_port);
        m_dialog = new dlgTakeFix_t(m_context, m_device);
        m_edit = m_dialog->findChild<QLineEdit*>(QStringLiteral("descriptionEdit"));
        m_list = m_dialog->findChild<QTreeWidget*>(QStringLiteral("fixList"));
        QVERIFY(m_edit && m_list);
    }
    void cleanup()
    {
        delete m_device;   // takes the window and the port with it
        delete m_context;
        dataClock_t::useSystemTime();
        geodeticSettings_t::instance()->setInputToRawTransformation({});
        store()->close();
        m_dir.reset();
    }

    void recordsOnlyCurrentConvertiblePositions_data()
    {
        QTest::addColumn<take_t>("t");
        QTest::newRow("fresh") << take_t{0.0, true, int(unchanged), true};
        QTest::newRow("just under the age limit") << take_t{DataMaxAge - 0.001, true, int(unchanged), true};
        QTest::newRow("at the age limit") << take_t{DataMaxAge, true, int(unchanged), false};
        QTest::newRow("latitude invalid") << take_t{0.0, false, int(unchanged), false};
        QTest::newRow("converted exactly to the limits") << take_t{0.0, true, int(toLimits), true};
        QTest::newRow("conversion leaves the output alone") << take_t{0.0, true, int(untouched), false};
        QTest::newRow("conversion fails") << take_t{0.0, true, int(failing), false};
        QTest::newRow("conversion gives NaN") << take_t{0.0, true, int(notANumber), false};
    }
    void recordsOnlyCurrentConvertiblePositions()
    {
        QFETCH(take_t, t);
        m_port->device()->setInputPosition(positionItem(t.age, t.latValid));
        // the height counts only while current
        m_port->device()->setEllipsoidalHeight(dataItem_t<double>(17.25, now - t.age - 0.5));
        const coordLL_t converted = t.conversion == toLimits ? coordLL_t(-Pi, Pi / 2.0) : coordLL_t(lon, lat);
        if (t.conversion != unchanged) {
            geodeticSettings_t::instance()->setInputToRawTransformation([=](coordLL_t const& in, coordLL_t& out) {
                if (t.conversion != untouched)
                    out = t.conversion == notANumber ? coordLL_t(std::nan(""), in.lat) : converted;
                return t.conversion != failing;
            });
        }
        QSignalSpy failed(m_dialog, &dlgTakeFix_t::takeFixFailed);
        QCOMPARE(m_dialog->takeFix(), t.recorded);
        QCOMPARE(failed.count(), t.recorded ? 0 : 1);
        QCOMPARE(store()->count(), t.recorded ? 1 : 0);
        if (!t.recorded)
            return;
        fix_t const fix = store()->fixes().first();
        QCOMPARE(fix.portId, 7u);
        QCOMPARE(fix.type, fixTypeManual);
        QCOMPARE(fix.time, now - t.age);   // the position's own time, not the clock's
        QVERIFY(std::fabs(fix.coord.lat - converted.lat) + std::fabs(fix.coord.lon - converted.lon) <= 1e-12);
        QCOMPARE(fix.height, t.age + 0.5 < DataMaxAge ? 17.25 : 0.0);
    }

    void refusedWithoutSourceOrStore()
    {
        dlgTakeFix_t orphan(m_context, nullptr);
        QVERIFY(!orphan.takeFix());
        // a store that cannot be written holds the fix, and the list says it is not saved
        QVERIFY(!store()->open(m_dir->path()));
        m_port->device()->setInputPosition(positionItem(0.0));
        m_edit->setText(QStringLiteral("diver down"));
        QVERIFY(m_dialog->takeFix());
        QCOMPARE(store()->unsavedCount(), 1);
        QCOMPARE(m_list->topLevelItem(0)->text(4), QStringLiteral("NOT SAVED YET: diver down"));
    }

    void listShowsThisDevicesFixesNewestFirst()
    {
        QVERIFY(store()->addFix(7, now - 100.0, fixTypeManOverboard, coordLL_t(0.1, 0.2), 1.0, QStringLiteral("old")));
        QVERIFY(store()->addFix(8, now - 90.0, fixTypeManual, coordLL_t(0.1, 0.2), 1.0, QStringLiteral("other")));
        // a typed description is trimmed; none at all names the position's time
        m_port->device()->setInputPosition(positionItem(0.25));
        m_edit->setText(QStringLiteral("  buoy 4 "));
        QVERIFY(m_dialog->takeFix());
        QVERIFY(m_edit->text().isEmpty());   // ready for the next fix
        m_edit->setText(QStringLiteral("   "));
        m_dialog->findChild<QPushButton*>(QStringLiteral("takeFixButton"))->click();
        QStringList shown;
        for (int row = 0; row < m_list->topLevelItemCount(); ++row)
            shown << m_list->topLevelItem(row)->text(4);
        QCOMPARE(shown, (QStringList{"Fix - " + QDateTime::fromMSecsSinceEpoch(qint64((now - 0.25) * 1000.0))
                                                    .toString(MillisecondTimeFormatString),
                                     "buoy 4", "old"}));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    orvane::context_t* m_context = nullptr;
    orvane::device_t* m_device = nullptr;
    remotePort_t* m_port = nullptr;
    dlgTakeFix_t* m_dialog = nullptr;
    QLineEdit* m_edit = nullptr;
    QTreeWidget* m_list = nullptr;
};

QTEST_MAIN(tst_dlgTakeFix)
#include "tst_dlgTakeFix.moc"
