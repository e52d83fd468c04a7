#pragma once
// Gives a test executable its own data directory, settings file and runtime folder, so tests never
// touch the user's files and never see each other's.
#include <QString>
#include <QTemporaryDir>

namespace SvTest {

class CTestEnvironment
{
public:
    CTestEnvironment();
    ~CTestEnvironment();

    // The temporary root (XDG_DATA_HOME, XDG_RUNTIME_DIR and XDG_CONFIG_HOME live below it).
    QString Root() const { return m_root.path(); }
    // The program's data directory inside the root ("<root>/data/Sonvero"); made on construction.
    QString DataDirectory() const;
    // Empties the data directory and the settings, for a test case that needs a fresh start.
    void Reset();

private:
    QTemporaryDir m_root;
};

// The one environment of the running test executable (made by SV_TEST_MAIN).
CTestEnvironment* Environment();

} // namespace SvTest
