// The CSV layer: quoting, line ends, separators and encodings, whatever the size of the reads.
#include "core/import/csv.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;
using importer::csv::Reader;
using importer::csv::Record;

namespace {

// Every record as "line:field|field|...", read in chunks of `chunk` bytes (0: the default).
QStringList readAll(const QByteArray &bytes, qsizetype chunk = 0, char *separator = nullptr)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    Reader::setChunkForTests(chunk);
    Reader in(device);
    QStringList out;
    Record r;
    while (in.next(r)) {
        QStringList fields;
        for (int i = 0; i < r.size(); ++i)
            fields << r.text(i);
        out << QString::number(r.line) + u':' + fields.join(u'|');
    }
    Reader::setChunkForTests(0);
    if (separator)
        *separator = in.separator();
    return out;
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void records_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("quoted separators and quotes")
            << QByteArray("a,\"b,c\",\"d\"\"e\"\n1,2,3\n")
            << QStringList{u"1:a|b,c|d\"e"_s, u"2:1|2|3"_s};
        QTest::newRow("line breaks inside quotes count as lines")
            << QByteArray("\"x\r\ny\",z\r\n\"p\rq\nr\",1\r\nlast,2\r\n")
            << QStringList{u"1:x\ny|z"_s, u"3:p\nq\nr|1"_s, u"6:last|2"_s};
        QTest::newRow("lone CR, no end at the end")
            << QByteArray("a,b\rc,d\re,f") << QStringList{u"1:a|b"_s, u"2:c|d"_s, u"3:e|f"_s};
        QTest::newRow("blank line and empty fields")
            << QByteArray("a,,b\n\n,\n") << QStringList{u"1:a||b"_s, u"2:"_s, u"3:|"_s};
        QTest::newRow("stray quotes kept")
            << QByteArray("ab\"c,\"de\"f,g\n") << QStringList{u"1:ab\"c|def|g"_s};
        QTest::newRow("spaces before a quoted field")
            << QByteArray("a, \"b,c\"\n") << QStringList{u"1:a|b,c"_s};
        QTest::newRow("quote never closed ends with the file")
            << QByteArray("a,b\nc,\"d\ne,f\n") << QStringList{u"1:a|b"_s, u"2:c|d\ne,f\n"_s};
        QTest::newRow("CR LF cut between two reads") << QByteArray("a,b\r\nc,d\r\n")
                                                     << QStringList{u"1:a|b"_s, u"2:c|d"_s};
    }

    // The same records whatever the size of the reads: every boundary falls everywhere.
    void records()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        for (qsizetype chunk : {0, 1, 2, 3, 7})
            QCOMPARE(readAll(bytes, chunk), expected);
    }

    void separators_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<char>("separator");
        QTest::newRow("semicolon with decimal commas")
            << QByteArray("Date;Litres;Montant\n01/02/2024;45,2;80,1\n02/03/2024;40,1;75,3\n")
            << ';';
        QTest::newRow("comma, table markers without any")
            << QByteArray("\"## Vehicle\"\n\"a\",\"b;c\",\"d\"\n\"## Log\"\n\"1\",\"2\",\"3\"\n") << ',';
        QTest::newRow("tab") << QByteArray("Date\tMontant, TTC\n01/02/2024\t1,5\n") << '\t';
        QTest::newRow("commas inside quotes do not count")
            << QByteArray("Date;Note\n01/02/2024;\"a,b,c\"\n") << ';';
        QTest::newRow("nothing to go by") << QByteArray("one\ntwo\n") << ',';
    }

    void separators()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(char, separator);
        char found = 0;
        readAll(bytes, 0, &found);
        QCOMPARE(found, separator);
    }

    void encodings()
    {
        // A byte-order mark is no part of the first field.
        QCOMPARE(readAll("\xEF\xBB\xBF" "Date,Caf\xC3\xA9\n"), QStringList{u"1:Date|Café"_s});
        // Bytes that are not UTF-8: Windows-1252, euro sign and curly quote included.
        QCOMPARE(readAll("Caf\xE9,\x80 \x92\n"), QStringList{u"1:Café|€ ’"_s});
        // A first look that finds UTF-8, then a record that is not: that record is Windows-1252.
        QByteArray big("a,Caf\xC3\xA9\n");
        while (big.size() < 600000) // past the first look, whatever its size
            big += "b,plain\n";
        big += "c,Caf\xE9\n";
        const QStringList all = readAll(big);
        QCOMPARE(all.first(), u"1:a|Café"_s);
        QCOMPARE(all.last(), QString::number(all.size()) + u":c|Café"_s);
    }

    // The views the readers parse numbers and dates from hold what the texts hold, whatever
    // the encoding and whatever the one scratch held before (a longer field, a mark).
    void viewsMatchTexts()
    {
        const QByteArray utf8("a long plain field,Caf\xC3\xA9 \xE2\x82\xAC,x\n"
                              "\xEF\xBB\xBF" "1,\xEF\xBB\xBF" "2,\xF0\x9F\x9A\x97\n");
        const QByteArray cp1252("a long plain field,Caf\xE9,\x80\n");
        // With a mark the file is UTF-8 whatever it holds; joined, these two fields are.
        const QByteArray cut("\xEF\xBB\xBF" "a\n\xC3,\xA9\n");
        for (const QByteArray &bytes : {utf8, cp1252, cut}) {
            QBuffer device;
            device.setData(bytes);
            device.open(QIODevice::ReadOnly);
            Reader in(device);
            Record r;
            QString scratch;
            int fields = 0;
            while (in.next(r))
                for (int i = 0; i < r.size(); ++i, ++fields)
                    QCOMPARE(r.view(i, scratch).toString(), r.text(i));
            QCOMPARE(fields, bytes == utf8 ? 6 : 3);
        }
    }

    // A quote that never closes does not take the rest of a large file into one field.
    void quoteNeverClosedInALargeFile()
    {
        Reader::setQuotedLimitForTests(64);
        QByteArray bytes("a,\"broken\n");
        for (int i = 0; i < 20; ++i)
            bytes += "x" + QByteArray::number(i) + ",y\n";
        const QStringList all = readAll(bytes, 5);
        Reader::setQuotedLimitForTests(0);
        QCOMPARE(all.size(), 21);
        QCOMPARE(all.first(), u"1:a|\"broken"_s);
        QCOMPARE(all.last(), u"21:x19|y"_s);
    }

    void rewindReadsAgain()
    {
        QBuffer device;
        device.setData("\xEF\xBB\xBFh1;h2\nv1;v2\n");
        device.open(QIODevice::ReadOnly);
        Reader in(device);
        Record r;
        QVERIFY(in.next(r) && in.next(r));
        QVERIFY(!in.next(r));
        QVERIFY(in.rewind());
        QVERIFY(in.next(r));
        QCOMPARE(r.line, 1);
        QCOMPARE(r.text(0), u"h1"_s);
        QCOMPARE(in.separator(), ';');
    }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
