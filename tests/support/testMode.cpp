#include <QCoreApplication>
#include <QStandardPaths>

// Linked into every test: none may read or write the user's own settings and files.
static void useTestLocations() { QStandardPaths::setTestModeEnabled(true); }
Q_COREAPP_STARTUP_FUNCTION(useTestLocations)
