#include "style/styleSheet.h"

namespace orvane {
namespace qc {

namespace {

// Built at load time in this order; each constant uses only those above it.
const QString ColorBorder = QStringLiteral("#333333");
const QString ColorTrough = QStringLiteral("#dddddd");
const QString ColorAccent = QStringLiteral("#0097a9");
const QString ColorGreen = QStringLiteral("#00ff00");
const QString ColorDeepGreen = QStringLiteral("#1ec005");
const QString ColorYellow = QStringLiteral("#ffff00");
const QString ColorAmber = QStringLiteral("#ffc72c");
const QString ColorRed = QStringLiteral("#ff0000");
const QString ColorCrimson = QStringLiteral("#c8102e");

const QString BaseSheet =
    QStringLiteral("QGroupBox[groupBoxType=graph] { padding: 10px 0px 0px 0px; border: none; } "
                   "QProgressBar { border: 1px solid ")
    + ColorBorder + QStringLiteral("; border-radius: 4px;  min-height: 5px; background-color: ") + ColorTrough
    + QStringLiteral("; } QProgressBar::chunk { background-color: ") + ColorAccent
    + QStringLiteral("; width: 1px; }QComboBox QAbstractItemView { selection-background-color: ") + ColorAccent
    + QStringLiteral("; }QLineEdit, QDateTimeEdit { background-color: #ffffff; } "
                     "QTreeView#rawMsgTree::item { margin: 2px; } "
                     "QTreeView, QListView, QTextEdit { background-color: #ffffff; selection-background-color: ")
    + ColorAccent + QStringLiteral("; selection-color: #000000; } ");

const QString DockSheet = BaseSheet
    + QStringLiteral("QDockWidget QLabel { font-weight: bold; font-size: 15px} "
                     "QDockWidget QGroupBox { border-radius: 5px; } ");

const QString GradientStart = QStringLiteral(
    "QDockWidget QGroupBox { background-color: qlineargradient(  x1: 0, y1: 0, x2: 0, y2: 5, stop: 0 ");
// The crimson sheet alone separates its stops with a comma; both forms parse.
const QString GradientEnd = QStringLiteral(" stop: 1 #000000); } ");
const QString GradientEndComma = QStringLiteral(", stop: 1 #000000); } ");

const QString DockGreenSheet = DockSheet + GradientStart + ColorGreen + GradientEnd;
const QString DockYellowSheet = DockSheet + GradientStart + ColorYellow + GradientEnd;
const QString DockRedSheet = DockSheet + GradientStart + ColorRed + GradientEnd;
const QString DockDeepGreenSheet = DockSheet + GradientStart + ColorDeepGreen + GradientEnd;
const QString DockAmberSheet = DockSheet + GradientStart + ColorAmber + GradientEnd;
const QString DockCrimsonSheet = DockSheet + GradientStart + ColorCrimson + GradientEndComma;

const QString NoSheet;

} // namespace

const QString& getStyleSheet(styleSheet_t sheet)
{
    switch (sheet) {
    case styleSheetDay:
    case styleSheetNight: return BaseSheet;
    case styleSheetDockGreen: return DockGreenSheet;
    case styleSheetDockDeepGreen: return DockDeepGreenSheet;
    case styleSheetDockYellow: return DockYellowSheet;
    case styleSheetDockAmber: return DockAmberSheet;
    case styleSheetDockRed: return DockRedSheet;
    case styleSheetDockCrimson: return DockCrimsonSheet;
    }
    return NoSheet;
}

} // namespace qc
} // namespace orvane
