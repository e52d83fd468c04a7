#pragma once
// Main of every test executable: its own data directory first, then the application, then the test.
#include <QApplication>
#include <QtTest>

#include "support/testenvironment.h"

#define SV_TEST_MAIN(TestObject)                                   \
    int main(int argc, char** argv)                                \
    {                                                              \
        SvTest::CTestEnvironment environment;                      \
        QApplication app(argc, argv);                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                   \
        TestObject tc;                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                 \
        return QTest::qExec(&tc, argc, argv);                      \
    }
