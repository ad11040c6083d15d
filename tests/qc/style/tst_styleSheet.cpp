#include <style/styleSheet.h>

#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

using namespace orvane::qc;

class tst_styleSheet : public QObject
{
    Q_OBJECT

private slots:
    // Day and night differ by palette only: one sheet, so switching restyles nothing.
    void dayAndNightShareOneSheet()
    {
        QVERIFY(!getStyleSheet(styleSheetDay).isEmpty());
        QCOMPARE(&getStyleSheet(styleSheetDay), &getStyleSheet(styleSheetNight));
    }

    void dockSheets_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("color");
        QTest::newRow("green") << 3 << "#00ff00";
        QTest::newRow("crimson") << 8 << "#c8102e";
        QTest::newRow("none for zero") << 0 << "";
        QTest::newRow("none past the table") << 9 << "";
        QTest::newRow("none for a negative value") << -1 << "";
    }

    void dockSheets()
    {
        QFETCH(int, value);
        QFETCH(QString, color);
        QString const& sheet = getStyleSheet(styleSheet_t(value));
        QCOMPARE(sheet.isNull(), color.isEmpty());
        if (color.isEmpty())
            return;
        QVERIFY(sheet.startsWith(getStyleSheet(styleSheetDay)));
        QVERIFY(sheet.contains(QStringLiteral("stop: 0 ") + color));
        // handed out by reference: the same sheet must be the same object
        QCOMPARE(&sheet, &getStyleSheet(styleSheet_t(value)));
    }

    // Qt must be able to parse what we hand it: a sheet it rejects silently styles nothing.
    void sheetsStyleWidgets()
    {
        QDockWidget dock;
        auto* box = new QGroupBox(&dock);
        auto* label = new QLabel(QStringLiteral("SBAS"), box);
        dock.setWidget(box);
        QVERIFY(!label->font().bold());
        dock.setStyleSheet(getStyleSheet(styleSheetDockCrimson));
        label->ensurePolished();
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pixelSize(), 15);

        QGroupBox graph;
        graph.setProperty("groupBoxType", QStringLiteral("graph"));
        graph.setStyleSheet(getStyleSheet(styleSheetDay));
        graph.ensurePolished();
        QVERIFY(graph.contentsMargins().top() >= 10);
    }
};

QTEST_MAIN(tst_styleSheet)
#include "tst_styleSheet.moc"
