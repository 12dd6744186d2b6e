#include "core/vehicle/record.h"

#include <QTest>

class TestRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createdRecordHoldsTodayAndEssence()
    {
        const QDate today(2026, 12, 7);
        const VehicleRecord r = VehicleRecord::create(today);
        QCOMPARE(r.DateTimePicker1, today);
        QCOMPARE(r.DateTimePicker2, today);
        QCOMPARE(r.DateTimePicker3, today);
        QCOMPARE(r.ComboBox1, QStringLiteral("Essence"));
        QVERIFY(r.ListView1.empty() && r.ListView2.empty() && r.ListView3.empty());
        QVERIFY(r.Memo1.isEmpty() && r.Image1.isEmpty() && r.fileName.isEmpty());
        QVERIFY(!r.modified);
    }
};

QTEST_APPLESS_MAIN(TestRecord)
#include "tst_record.moc"
