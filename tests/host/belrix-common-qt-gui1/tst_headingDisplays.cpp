#include <belrix_common_qt_gui/compassRoseStatusWidget.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/headingScale.h>
#include <belrix_common_qt_gui/headingStatusWidget.h>

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using namespace belrix_common_qt_gui;

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();
bool near(double a, double b) { return std::fabs(a - b) <= 1e-9; }
} // namespace

struct graduation_t { int degree, every, level; QString label; };
Q_DECLARE_METATYPE(graduation_t)

struct tape_t { double width, heading, degree, pixel; };
Q_DECLARE_METATYPE(tape_t)

struct bar_t { double rate, fullScale, length; QString text; };
Q_DECLARE_METATYPE(bar_t)

struct look_t { bool tape, night, cleared; };
Q_DECLARE_METATYPE(look_t)

class tst_headingDisplays : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void headingReadsAsANavigatorReadsIt_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<QString>("text");
        QTest::newRow("leading zeros") << 5.26 << QString::fromUtf8("005.3°");
        QTest::newRow("rounds up to north") << 359.96 << QString::fromUtf8("000.0°");
        QTest::newRow("just west of north") << -0.04 << QString::fromUtf8("000.0°");
        QTest::newRow("negative") << -90.0 << QString::fromUtf8("270.0°");
        QTest::newRow("more than a turn") << 720.5 << QString::fromUtf8("000.5°");
    }
    void headingReadsAsANavigatorReadsIt()
    {
        QFETCH(double, degrees);
        QFETCH(QString, text);
        QCOMPARE(headingScale_t::headingText(degrees), text);
        const double n = headingScale_t::normalized(degrees);
        QVERIFY(n >= 0.0 && n < 360.0);
    }

    void graduations_data()
    {
        QTest::addColumn<graduation_t>("g");
        QTest::newRow("north") << graduation_t{0, 30, int(headingScale_t::graduationLabelled), "N"};
        QTest::newRow("030") << graduation_t{30, 30, int(headingScale_t::graduationLabelled), "030"};
        QTest::newRow("west, unwrapped below 0") << graduation_t{-90, 30, int(headingScale_t::graduationLabelled), "W"};
        QTest::newRow("south, unwrapped past 360")
            << graduation_t{540, 10, int(headingScale_t::graduationLabelled), "S"};
        QTest::newRow("100 on a tape") << graduation_t{100, 10, int(headingScale_t::graduationTen), "100"};
        QTest::newRow("100 on a rose") << graduation_t{100, 30, int(headingScale_t::graduationTen), ""};
        QTest::newRow("five") << graduation_t{365, 10, int(headingScale_t::graduationFive), ""};
        QTest::newRow("one") << graduation_t{359, 10, int(headingScale_t::graduationDegree), ""};
    }
    void graduations()
    {
        QFETCH(graduation_t, g);
        QCOMPARE(int(headingScale_t::graduation(g.degree)), g.level);
        QCOMPARE(headingScale_t::graduationLabel(g.degree, g.every), g.label);
    }

    // A 600 px tape shows 60°, 10 px a degree; a wide one more degrees at 16 px. The tape is
    // cut from the unwrapped strip, so a graduation must sit where tapePixel says on either
    // side of north.
    void tapeShowsEachGraduationOnce_data()
    {
        QTest::addColumn<tape_t>("t");
        QTest::newRow("on the lubber line") << tape_t{600.0, 123.0, 123.0, 300.0};
        QTest::newRow("to starboard") << tape_t{600.0, 123.0, 140.0, 470.0};
        QTest::newRow("across north, to port") << tape_t{600.0, 0.0, 350.0, 200.0};
        QTest::newRow("across north, to starboard") << tape_t{600.0, 359.9, 5.0, 351.0};
        QTest::newRow("left edge") << tape_t{600.0, 10.0, 340.0, 0.0};
        QTest::newRow("right edge") << tape_t{600.0, 350.0, 20.0, 600.0};
        QTest::newRow("wide tape, 200 degrees") << tape_t{3200.0, 300.0, 30.0, 3040.0};
    }
    void tapeShowsEachGraduationOnce()
    {
        QFETCH(tape_t, t);
        const double span = headingScale_t::tapeSpan(t.width);
        QVERIFY(near(headingScale_t::tapePixel(t.degree, t.heading, span, t.width), t.pixel));
        const double left = headingScale_t::stripLeft(t.heading, span);
        QVERIFY(left >= -span / 2.0 && left + span <= 360.0 + span / 2.0);
        int copies = 0;
        for (double copy : {t.degree - 360.0, t.degree, t.degree + 360.0}) {
            const double x = (copy - left) * t.width / span;
            if (x >= -1e-9 && x <= t.width + 1e-9) {
                ++copies;
                QVERIFY(near(x, t.pixel));
            }
        }
        QCOMPARE(copies, 1);
    }

    void rateOfTurnBar_data()
    {
        QTest::addColumn<bar_t>("b");
        // half-width 100 px
        QTest::newRow("steady") << bar_t{0.0, 10.0, 0.0, QString::fromUtf8("0.0°/min")};
        QTest::newRow("rounds to no sign") << bar_t{-0.04, 10.0, -0.4, QString::fromUtf8("0.0°/min")};
        QTest::newRow("starboard, at a scale") << bar_t{30.0, 30.0, 100.0, QString::fromUtf8("+30.0°/min")};
        QTest::newRow("port, next scale") << bar_t{-30.5, 60.0, -50.833333333333, QString::fromUtf8("-30.5°/min")};
        QTest::newRow("beyond the last scale") << bar_t{900.0, 300.0, 100.0, QString::fromUtf8("+900.0°/min")};
    }
    void rateOfTurnBar()
    {
        QFETCH(bar_t, b);
        QCOMPARE(headingScale_t::rotFullScale(b.rate), b.fullScale);
        QVERIFY(near(headingScale_t::rotBarLength(b.rate, b.fullScale, 100.0), b.length));
        QCOMPARE(headingScale_t::rotText(b.rate), b.text);
        QCOMPARE(headingScale_t::rotBarLength(NaN, b.fullScale, 100.0), 0.0);
    }

    // Only pixels show the needle's and the bar's colour: the device's by day, dimmed at
    // night, none once cleared; a colour change shows on the next paint.
    void drawnInTheDeviceColour_data()
    {
        QTest::addColumn<look_t>("l");
        for (bool tape : {false, true}) {
            QTest::addRow("%s", tape ? "tape" : "rose") << look_t{tape, false, false};
            QTest::addRow("%s, night", tape ? "tape" : "rose") << look_t{tape, true, false};
            QTest::addRow("%s, cleared", tape ? "tape" : "rose") << look_t{tape, false, true};
        }
    }
    void drawnInTheDeviceColour()
    {
        QFETCH(look_t, l);
        guiSettings_t* settings = guiSettings_t::get();
        settings->setDisplayMode(l.night ? belrix_common_qt::displayModeNight : belrix_common_qt::displayModeDay);
        std::unique_ptr<headingWidgetBase_t> widget;
        QPoint probe;
        if (l.tape) {
            auto* t = new headingStatusWidget_t;
            t->resize(610, 546);
            t->setRateOfTurn(15.0f);   // half the 30°/min scale: a quarter of the track
            const QRectF rot = headingStatusWidget_t::layoutFor(t->size()).rot;
            probe = QPointF(rot.center().x() + rot.width() / 8.0, rot.top() + rot.height() * 0.5).toPoint();
            widget.reset(t);
        } else {
            auto* rose = new compassRoseStatusWidget_t;
            rose->resize(400, 400);
            probe = rose->mapping().relativeToPixel(0.64, 90.0).toPoint();   // on the needle's axis
            widget.reset(rose);
        }
        widget->handleNewDeviceColor(QColor("#2ca02c"));
        widget->setHeading(90.0f);
        (void)widget->grab();   // the cached layer exists before the colour changes
        widget->handleNewDeviceColor(QColor("#d62728"));
        if (l.cleared)
            widget->clear();
        const QColor expected = l.cleared ? settings->effectiveBackgroundGraphColor()
                                        : settings->effectiveDataColor(QColor("#d62728"));
        QCOMPARE(widget->grab().toImage().pixelColor(probe).rgb(), expected.rgb());
    }

    void badInputBlanks()
    {
        headingStatusWidget_t tape;
        tape.setHeading(12.0f);
        tape.setRateOfTurn(3.0f);
        tape.setRateOfTurn(std::numeric_limits<float>::infinity());
        QVERIFY(tape.hasHeading());
        QVERIFY(!tape.hasRateOfTurn());
        tape.setRateOfTurn(3.0f);
        tape.setHeading(std::numeric_limits<float>::quiet_NaN());
        QVERIFY(!tape.hasHeading());
        QVERIFY(!tape.hasRateOfTurn());   // no rate without the heading it turns from
    }
};

QTEST_MAIN(tst_headingDisplays)
#include "tst_headingDisplays.moc"
