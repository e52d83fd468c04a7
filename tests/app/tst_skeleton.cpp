#include "support/testmain.h"

#include <QStandardPaths>

class TestSkeleton : public QObject
{
    Q_OBJECT
private slots:
    void dataDirectoryIsPrivate()
    {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(data.startsWith(SvTest::Environment()->Root()));
    }
};

SV_TEST_MAIN(TestSkeleton)
#include "tst_skeleton.moc"
