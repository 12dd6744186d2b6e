// Whether a file changed since a document read it, and opening regular files only.
#include "core/vehicle/filestate.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using namespace filestate;
using namespace Qt::StringLiterals;

namespace {

bool writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Moves the file's time stamp back, as if it had been written a while ago.
bool age(const QString &path, int seconds)
{
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0)
        return false;
    utimbuf times{st.st_atime - seconds, st.st_mtime - seconds};
    return ::utime(name.constData(), &times) == 0;
}

} // namespace

class TestFileState : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The same in every run (a recovery copy keeps the hash of its file): XXH3's own published
    // values.
    void hashIsStable()
    {
        const auto of = [](QByteArrayView b) {
            ContentHash h;
            h.add(b.data(), b.size());
            return h.result();
        };
        QCOMPARE(of(""), 0x2D06800538D394C2ull);
        QCOMPARE(of("abc"), 0x78AF5F94892F3950ull);
    }

    // The hash depends on the bytes only, not on the pieces they come in.
    void hashIgnoresPieces()
    {
        QByteArray bytes(300000, Qt::Uninitialized);
        QRandomGenerator gen(7);
        for (char &c : bytes)
            c = char(gen.bounded(256));
        ContentHash whole;
        whole.add(bytes.constData(), bytes.size());
        for (qsizetype piece : {1, 7, 65535, 65536, 65537, 200000}) {
            ContentHash h;
            for (qsizetype at = 0; at < bytes.size(); at += piece)
                h.add(bytes.constData() + at, std::min(piece, bytes.size() - at));
            QCOMPARE(h.result(), whole.result());
        }
        ContentHash shorter;
        shorter.add(bytes.constData(), bytes.size() - 1);
        QVERIFY(shorter.result() != whole.result());
        ContentHash changed;
        bytes[150000] = char(bytes[150000] ^ 1);
        changed.add(bytes.constData(), bytes.size());
        QVERIFY(changed.result() != whole.result());
        QVERIFY(ContentHash().result() != shorter.result());
    }

    void changesSeen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"auto.vtr"_s);
        QVERIFY(writeInPlace(path, "[PAGE1]\r\nRenault\r\n"));
        const Identity read = identify(path);
        QVERIFY(read.known && read.exists);
        QCOMPARE(compare(read), Outside::Same);

        // Rewritten in place with other bytes of the same size, at once: the time stamp may not
        // show it, the hash does.
        QVERIFY(writeInPlace(path, "[PAGE1]\r\nPeugeot\r\n"));
        QCOMPARE(compare(read), Outside::Changed);

        // Touched only: the same bytes, so the same file; the identity to keep comes back.
        const Identity now = identify(path);
        QVERIFY(age(path, 60));
        Identity updated;
        QCOMPARE(compare(now, &updated), Outside::Same);
        QVERIFY(updated.known);
        QVERIFY(updated.mtimeNs != now.mtimeNs);
        QCOMPARE(compare(updated), Outside::Same);

        // Replaced by another file (a save of another program), then gone.
        QVERIFY(writeInPlace(dir.filePath(u"other"_s), "[PAGE1]\r\nRenault\r\n"));
        QVERIFY(::rename(QFile::encodeName(dir.filePath(u"other"_s)).constData(), QFile::encodeName(path).constData()) == 0);
        QCOMPARE(compare(updated), Outside::Changed);
        QVERIFY(QFile::remove(path));
        QCOMPARE(compare(updated), Outside::Gone);

        // A file that was not there and now is; a FIFO in a file's place.
        QCOMPARE(compare(absent(path)), Outside::Gone);
        QVERIFY(writeInPlace(path, "x"));
        QCOMPARE(compare(absent(path)), Outside::Changed);
        const Identity small = identify(path);
        QVERIFY(QFile::remove(path));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QCOMPARE(compare(small), Outside::Changed);
    }

    void identityAsText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"auto.vtr"_s);
        QVERIFY(writeInPlace(path, "[PAGE1]\r\n"));
        const Identity id = identify(path);
        const Identity back = fromText(path, toText(id));
        QVERIFY(back.known && back.exists);
        QCOMPARE(back.size, id.size);
        QCOMPARE(back.mtimeNs, id.mtimeNs);
        QCOMPARE(back.inode, id.inode);
        QCOMPARE(back.hash, id.hash);
        QCOMPARE(back.takenNs, id.takenNs);
        QCOMPARE(compare(back), Outside::Same);
        const Identity none = fromText(path, toText(absent(path)));
        QVERIFY(none.known && !none.exists);
        QVERIFY(!fromText(path, u"12 garbage"_s).known);
    }

    void regularOnly()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(u"tube"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString file = dir.filePath(u"auto.vtr"_s);
        QVERIFY(writeInPlace(file, "abc"));
        for (const QString &path : {fifo, dir.path(), u"/dev/null"_s, dir.filePath(u"absent"_s)})
            QVERIFY2(!isReadableRegular(path), qPrintable(path));
        const int fd = openRegular(file);
        QVERIFY(fd >= 0);
        char buf[4] = {};
        QCOMPARE(::read(fd, buf, sizeof buf), ssize_t(3)); // blocking again, reads normally
        ::close(fd);
    }
};

QTEST_GUILESS_MAIN(TestFileState)
#include "tst_filestate.moc"
