// The compact texts of the ledger entries: any text comes back as it was given, whichever form
// it is kept in, and entries keep value semantics.
#include "core/vehicle/record.h"

#include <QTest>

#include <string>

using namespace Qt::StringLiterals;

class TestLedgerText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsAnyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("date") << u"04/01/2021"_s << QByteArray("04/01/2021");
        QTest::newRow("15 bytes, inline") << u"123456789012345"_s << QByteArray("123456789012345");
        QTest::newRow("16 bytes, a block") << u"1234567890123456"_s << QByteArray("1234567890123456");
        QTest::newRow("code page, short") << u"Péage €"_s << QByteArray("P\xe9" "age \x80");
        QTest::newRow("code page, long") << u"Demi-plein — station de Mâcon"_s
                                         << QByteArray("Demi-plein \x97 station de M\xe2" "con");
        // The five bytes the code page leaves undefined stand for the C1 controls.
        QTest::newRow("undefined bytes") << u"\u0081\u008D\u008F\u0090\u009D"_s
                                         << QByteArray("\x81\x8d\x8f\x90\x9d");
        // Outside the code page: kept whole in memory, written as '?'.
        QTest::newRow("outside, short") << u"Ő"_s << QByteArray("?");
        QTest::newRow("C1 not in the code page") << u"a\u0080b"_s << QByteArray("a?b");
        QTest::newRow("surrogate pair") << u"Plein 🚗 fin"_s << QByteArray("Plein ? fin");
    }

    void keepsAnyText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, encoded);
        const LedgerText t(text);
        QCOMPARE(t.toString(), text);
        QCOMPARE(t.isEmpty(), text.isEmpty());
        QCOMPARE(t.size(), text.size());
        std::string out;
        t.appendEncoded(out);
        QCOMPARE(QByteArray::fromStdString(out), encoded);

        // The file's bytes give the same text, in the same form: equal either way.
        if (!encoded.contains('?')) {
            const LedgerText read = LedgerText::fromBytes(encoded.constData(), encoded.size());
            QCOMPARE(read.toString(), text);
            QVERIFY(read == t);
        }
    }

    void equality()
    {
        const QString longText = u"Vidange et filtres"_s;
        QVERIFY(LedgerText(longText) == LedgerText(QString(longText)));
        QVERIFY(!(LedgerText(longText) == LedgerText(longText.chopped(1))));
        QVERIFY(!(LedgerText(u"12.00"_s) == LedgerText(u"12.0"_s)));
        QVERIFY(!(LedgerText(u"abc"_s) == LedgerText(u"abd"_s)));
        QVERIFY(LedgerText() == LedgerText(QString()));
        QVERIFY(!(LedgerText() == LedgerText(u" "_s)));
        // A character outside the code page is not its '?'.
        QVERIFY(!(LedgerText(u"Ő"_s) == LedgerText(u"?"_s)));
        QVERIFY(!(LedgerText(u"Ő vingt caractères !"_s) == LedgerText(u"? vingt caractères !"_s)));
    }

    // Copies share a long text's block: each must outlive the others, and assigning over one
    // must leave the others whole.
    void copiesAndMoves()
    {
        const QString longText = u"Contrôle technique, contre-visite"_s;
        LedgerText kept;
        {
            LedgerText a(longText);
            LedgerText b = a;
            kept = b;
            b = LedgerText(u"court"_s);
            QCOMPARE(a.toString(), longText);
            QCOMPARE(b.toString(), u"court"_s);
            const LedgerText &itself = a;
            a = itself;
            QCOMPARE(a.toString(), longText);
        }
        QCOMPARE(kept.toString(), longText);
        LedgerText moved = std::move(kept);
        QCOMPARE(moved.toString(), longText);
        QVERIFY(kept.isEmpty()); // emptied by the move, and usable again
        kept = moved;
        QCOMPARE(kept.toString(), longText);
    }

    void entries()
    {
        FuelEntry e{u"04/01/2021"_s, u"Plein autoroute A7, station Total"_s, u"708.69"_s};
        QCOMPARE(e[col::Date], u"04/01/2021"_s);
        QCOMPARE(e[col::Description], u"Plein autoroute A7, station Total"_s);
        QVERIFY(e[col::FuelLitres].isEmpty()); // columns not given are empty
        FuelEntry copy = e;
        copy.set(col::Description, u"Plein"_s);
        QCOMPARE(e[col::Description], u"Plein autoroute A7, station Total"_s);
        QVERIFY(!(copy == e));
        copy.set(col::Description, u"Plein autoroute A7, station Total"_s);
        QVERIFY(copy == e);

        VehicleRecord a, b;
        a.ListView1 = {e, copy};
        b.ListView1 = a.ListView1;
        QVERIFY(a.sameStoredContent(b));
        b.ListView1[1].set(col::FuelCompteur, u"12888.00"_s);
        QVERIFY(!a.sameStoredContent(b));
    }
};

QTEST_GUILESS_MAIN(TestLedgerText)
#include "tst_ledgertext.moc"
