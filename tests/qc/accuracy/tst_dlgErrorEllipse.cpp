#include "accuracyFixture.h"

#include "accuracy/dlgErrorEllipse.h"
#include "accuracy/dlgErrorEllipseConfig.h"

#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt_gui/errorEllipseWidget.h>
#include <orvane/splitter.h>

using namespace accuracyTest;
using namespace orvane::qc;
using belrix_common_qt_gui::errorEllipseWidget_t;

struct tick_t { bool imca, input; double age; bool drawn; };
Q_DECLARE_METATYPE(tick_t)

struct dropped_t { QString dropped; bool loaded; int labels; };
Q_DECLARE_METATYPE(dropped_t)

class tst_dlgErrorEllipse : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fleet.reset(new fleet_t);
        m_device = m_fleet->add("GNSS 1", 1, QColor("#d62728"));
        m_window = new dlgErrorEllipse_t(m_fleet->context.get(), m_device);
    }
    void cleanup() { m_fleet.reset(); }

    void tickShowsTheData_data()
    {
        QTest::addColumn<tick_t>("t");

        QTest::newRow("NMEA") << tick_t{false, true, 1.0, true};
        QTest::newRow("NMEA, stale") << tick_t{false, true, 3.0, false};
        QTest::newRow("NMEA, not an input") << tick_t{false, false, 1.0, false};
        QTest::newRow("IMCA") << tick_t{true, true, 1.0, true};
        QTest::newRow("IMCA, stale") << tick_t{true, true, 3.0, false};
        QTest::newRow("IMCA, not an input") << tick_t{true, false, 1.0, false};
    }
    void tickShowsTheData()
    {
        QFETCH(tick_t, t);

        fleet_t::setStats(m_device, t.age, 30.0f, 2.5f, 1.5f);
        belrix_common_qt::qcSummary_t summary;
        summary.unitVariance = 1.25f;
        summary.semiMajor = 3.0f;
        summary.semiMinor = 1.0f;
        summary.orientation = float(Pi / 2.0);
        summary.latError = 1.111f;
        m_device->remoteDevice()->qcDataStore()->addSummary(T0 - t.age, summary);
        if (!t.input) {
            m_window->handleClockTimeout();   // shows the statistics
            m_device->remoteDevice()->setInput(false);
        }
        QSignalSpy modified(m_window, &orvane::orvaneDialog_t::configurationModified);
        if (t.imca)
            m_window->findChild<QPushButton*>("toggleButton")->click();   // shows the summary at once
        else
            m_window->handleClockTimeout();

        QCOMPARE(m_window->raimMode(), !t.imca);
        QCOMPARE(modified.size(), t.imca ? 1 : 0);
        QCOMPARE(label(m_window, "modeLabel"), t.imca ? QStringLiteral("IMCA") : QStringLiteral("NMEA"));
        QCOMPARE(plot()->ellipses().size(), t.drawn ? 1 : 0);
        if (t.drawn) {
            errorEllipseWidget_t::ellipse_t const ellipse = plot()->ellipses().first();
            QVERIFY(close(ellipse.orientation, t.imca ? 90.0 : 30.0, 1e-4));
            QVERIFY(close(ellipse.semiMajor, t.imca ? 3.0 : 2.5, 1e-6));
            QVERIFY(close(ellipse.semiMinor, t.imca ? 1.0 : 1.5, 1e-6));
            QCOMPARE(ellipse.color, QColor("#d62728"));
            QCOMPARE(ellipse.range, 5.0);   // scaled before the ellipse was added
            QCOMPARE(label(m_window, "latErrorLabel"), t.imca ? QStringLiteral("1.11") : QStringLiteral("0.31"));
            QCOMPARE(label(m_window, "unitVarianceLabel"), t.imca ? QStringLiteral("1.25") : QStringLiteral("N/A"));
        } else {
            // stale errors are not left beside an empty plot; a device that is no input is left alone
            QCOMPARE(label(m_window, "latErrorLabel"), t.input ? NoDataString : QStringLiteral("0.31"));
            QCOMPARE(m_window->configSettings().range, t.input ? 1.0 : 5.0);
        }
        m_window->toggle();
        QCOMPARE(m_window->raimMode(), t.imca);
        if (t.imca)
            QCOMPARE(label(m_window, "unitVarianceLabel"), QStringLiteral("N/A"));
    }
    void storedSettings_data()
    {
        QTest::addColumn<dropped_t>("d");

        QTest::newRow("every key") << dropped_t{QString(), true, 1};
        QTest::newRow("no range: nothing") << dropped_t{"range", false, 2};
        QTest::newRow("no labels: loads without labels") << dropped_t{"labels", true, 0};
    }
    void storedSettings()
    {
        QFETCH(dropped_t, d);

        errorEllipseConfigSettings_t stored;
        stored.range = 50.0;
        stored.autoScale = false;
        stored.labels = 1;
        m_window->setConfigSettings(stored);
        m_window->move(40, 30);
        m_window->show();
        auto* splitter = m_window->findChild<orvane::splitter_t*>();
        splitter->setSizes({220, 266});   // both above their minimum widths
        tolvconfig::config_t config;
        m_window->saveSettings(config, -1);
        QVERIFY(QString::fromStdString(m_window->outputKey("range")).startsWith(QStringLiteral("device.GNSS 1.")));
        config.removeValue(m_window->outputKey(d.dropped.toStdString()));

        auto* other = new dlgErrorEllipse_t(m_fleet->context.get(), m_device);
        other->resize(m_window->size());
        other->show();
        errorEllipseConfigSettings_t before = stored;   // a caption as wide, for the splitter's sake
        before.range = 60.0;
        before.labels = 2;
        other->setConfigSettings(before);
        other->loadSettings(config, -1);
        QCOMPARE(other->configSettings().range, d.loaded ? 50.0 : 60.0);
        QCOMPARE(other->configSettings().labels, d.labels);
        // the window's geometry comes only with the record, the splitter always
        QCOMPARE(other->pos() == m_window->pos(), d.loaded);
        QCOMPARE(other->findChild<orvane::splitter_t*>()->sizes(), splitter->sizes());

        // the settings dialog hands its record back as a change of configuration
        QSignalSpy modified(other, &orvane::orvaneDialog_t::configurationModified);
        other->findChild<QPushButton*>("settingsButton")->click();
        other->findChild<dlgErrorEllipseConfig_t*>()->submit();
        QCOMPARE(modified.size(), 1);
    }

private:
    errorEllipseWidget_t* plot() const { return m_window->findChild<errorEllipseWidget_t*>(); }

    std::unique_ptr<fleet_t> m_fleet;
    orvane::device_t* m_device = nullptr;
    dlgErrorEllipse_t* m_window = nullptr;   // a child of its device
};

QTEST_MAIN(tst_dlgErrorEllipse)
#include "tst_dlgErrorEllipse.moc"
