#include <style/styleSheet.h>

#include <QApplication>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

using namespace orvane::qc;

namespace {

// The texts as the application must see them, written out whole so that a change of one
// space shows.
const QString Base = QStringLiteral(
    "QGroupBox[groupBoxType=graph] { padding: 10px 0px 0px 0px; border: none; } QProgressBar { border: 1px solid "
    "#333333; border-radius: 4px;  min-height: 5px; background-color: #dddddd; } QProgressBar::chunk { "
    "background-color: #0097a9; width: 1px; }QComboBox QAbstractItemView { selection-background-color: #0097a9; "
    "}QLineEdit, QDateTimeEdit { background-color: #ffffff; } QTreeView#rawMsgTree::item { margin: 2px; } "
    "QTreeView, QListView, QTextEdit { background-color: #ffffff; selection-background-color: #0097a9; "
    "selection-color: #000000; } ");
const QString DockRules = QStringLiteral(
    "QDockWidget QLabel { font-weight: bold; font-size: 15px} QDockWidget QGroupBox { border-radius: 5px; } ");
const QString GradientStart = QStringLiteral(
    "QDockWidget QGroupBox { background-color: qlineargradient(  x1: 0, y1: 0, x2: 0, y2: 5, stop: 0 ");

} // namespace

class tst_styleSheet : public QObject
{
    Q_OBJECT

private slots:
    void dayAndNightShareTheBaseSheet()
    {
        QCOMPARE(getStyleSheet(styleSheetDay), Base);
        QCOMPARE(getStyleSheet(styleSheetNight), Base);
        QCOMPARE(&getStyleSheet(styleSheetDay), &getStyleSheet(styleSheetNight));
    }

    void gradientSheets_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("end");
        const QString plain = QStringLiteral(" stop: 1 #000000); } ");
        QTest::newRow("green") << 3 << "#00ff00" << plain;
        QTest::newRow("deep green") << 4 << "#1ec005" << plain;
        QTest::newRow("yellow") << 5 << "#ffff00" << plain;
        QTest::newRow("amber") << 6 << "#ffc72c" << plain;
        QTest::newRow("red") << 7 << "#ff0000" << plain;
        QTest::newRow("crimson, with a comma") << 8 << "#c8102e" << QStringLiteral(", stop: 1 #000000); } ");
    }

    void gradientSheets()
    {
        QFETCH(int, value);
        QFETCH(QString, color);
        QFETCH(QString, end);
        QString const& sheet = getStyleSheet(styleSheet_t(value));
        QCOMPARE(sheet, Base + DockRules + GradientStart + color + end);
        // handed out by reference: the same sheet must be the same object
        QCOMPARE(&sheet, &getStyleSheet(styleSheet_t(value)));
    }

    void noSheetOutsideTheTable_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("nine") << 9;
        QTest::newRow("negative") << -1;
    }

    void noSheetOutsideTheTable()
    {
        QFETCH(int, value);
        QVERIFY(getStyleSheet(styleSheet_t(value)).isNull());
    }

    // Qt must be able to parse what we hand it: a sheet it rejects silently styles nothing.
    void sheetsStyleWidgets()
    {
        QDockWidget dock;
        auto* box = new QGroupBox(&dock);
        auto* label = new QLabel(QStringLiteral("SBAS"), box);
        dock.setWidget(box);
        const QFont before = label->font();
        dock.setStyleSheet(getStyleSheet(styleSheetDockCrimson));
        dock.ensurePolished();
        label->ensurePolished();
        QVERIFY(label->font().bold());
        QVERIFY(!before.bold());
        QCOMPARE(label->font().pixelSize(), 15);

        QGroupBox graph;
        graph.setProperty("groupBoxType", QStringLiteral("graph"));
        graph.setStyleSheet(getStyleSheet(styleSheetDay));
        graph.ensurePolished();
        QCOMPARE(graph.contentsMargins().top() >= 10, true);
    }
};

QTEST_MAIN(tst_styleSheet)
#include "tst_styleSheet.moc"
