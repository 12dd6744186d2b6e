// The picture decoders of the page "Image", on small files made for the tests.
#include "gui_pictures_fontfiles.h"
#include "platform/pictures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

QString picture(const QString &name)
{
    return QStringLiteral(TEV_TEST_DATA "/pictures/") + name;
}

QByteArray bytesOf(const QString &name)
{
    QFile f(picture(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test picture");
    return f.readAll();
}

bool reddish(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90;
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void extensionIgnoresCase();
    void unknownExtension();
    void damagedFiles_data();
    void damagedFiles();
    void truncatedJpegShowsWhatWasDecoded();
    void missingFile();
    void oversizedJpegRefused();
    void wmfTextWithoutFontFiles_data();
    void wmfTextWithoutFontFiles();
};

void PicturesTest::formats_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPointF>("redAt"); // a point of the picture, as a fraction of its size
    QTest::newRow("bmp") << u"car.bmp"_s << QSize(48, 32) << QPointF(-1, -1);
    QTest::newRow("ico nearest to 32") << u"car.ico"_s << QSize(32, 32) << QPointF(-1, -1);
    QTest::newRow("jpg") << u"car.jpg"_s << QSize(64, 48) << QPointF(30.0 / 64, 20.0 / 48);
    QTest::newRow("jpg in CMYK") << u"cmyk.jpg"_s << QSize(16, 16) << QPointF(0.5, 0.5);
    QTest::newRow("emf") << u"car.emf"_s << QSize() << QPointF(0.5, 35.0 / 60);
    QTest::newRow("wmf") << u"car.wmf"_s << QSize() << QPointF(0.5, 35.0 / 60);
}

void PicturesTest::formats()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QPointF, redAt);
    const platform::PictureResult r = platform::loadPicture(picture(file));
    QVERIFY2(r.ok(), qPrintable(r.error));
    QVERIFY(!r.image.isNull());
    if (size.isValid()) {
        QCOMPARE(r.image.size(), size);
    } else {
        // Metafiles come out at their frame's size, 120 x 60 give or take the rounding.
        QVERIFY2(qAbs(r.image.width() - 120) <= 8 && qAbs(r.image.height() - 60) <= 8,
                 qPrintable(u"%1 x %2"_s.arg(r.image.width()).arg(r.image.height())));
    }
    if (redAt.x() >= 0) {
        const QPoint p(int(redAt.x() * r.image.width()), int(redAt.y() * r.image.height()));
        QVERIFY2(reddish(r.image.pixel(p)), qPrintable(QString::number(r.image.pixel(p), 16)));
    }
}

void PicturesTest::extensionIgnoresCase()
{
    QTemporaryDir dir;
    for (const QString &name : {u"AUTO.JPG"_s, u"auto.jpeg"_s, u"Auto.Bmp"_s, u"AUTO.WMF"_s}) {
        const QString source = name.endsWith(u"mp", Qt::CaseInsensitive) ? u"car.bmp"_s
                               : name.endsWith(u"wmf", Qt::CaseInsensitive) ? u"car.wmf"_s
                                                                             : u"car.jpg"_s;
        QVERIFY(QFile::copy(picture(source), dir.filePath(name)));
        const platform::PictureResult r = platform::loadPicture(dir.filePath(name));
        QVERIFY2(r.ok(), qPrintable(name + u": "_s + r.error));
    }
}

void PicturesTest::unknownExtension()
{
    QTemporaryDir dir;
    const QString png = dir.filePath(u"auto.Png"_s);
    QVERIFY(QFile::copy(picture(u"car.bmp"_s), png));
    const platform::PictureResult r = platform::loadPicture(png);
    QCOMPARE(r.error, u"Extension de fichier graphique inconnue (.Png)"_s);
    QVERIFY(r.image.isNull());
}

void PicturesTest::damagedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QString bmp = u"Image bitmap incorrecte"_s;
    const QString ico = u"Icône incorrecte"_s;
    const QString jpg = u"Image JPEG incorrecte"_s;
    const QString meta = u"Métafichier incorrect"_s;
    QTest::newRow("bmp cut short") << u"a.bmp"_s << bytesOf(u"truncated.bmp"_s) << bmp;
    QTest::newRow("bmp of text") << u"a.bmp"_s << bytesOf(u"notapicture.bmp"_s) << bmp;
    QTest::newRow("bmp empty") << u"a.bmp"_s << QByteArray() << bmp;
    QTest::newRow("ico cut short") << u"a.ico"_s << bytesOf(u"truncated.ico"_s) << ico;
    QTest::newRow("ico header only") << u"a.ico"_s << bytesOf(u"car.ico"_s).left(6) << ico;
    QTest::newRow("jpg damaged") << u"a.jpg"_s << bytesOf(u"damaged.jpg"_s) << jpg;
    QTest::newRow("jpg empty") << u"a.jpg"_s << QByteArray() << jpg;
    QTest::newRow("jpg holding a bmp") << u"a.jpg"_s << bytesOf(u"car.bmp"_s) << jpg;
    QTest::newRow("emf cut short") << u"a.emf"_s << bytesOf(u"truncated.emf"_s) << meta;
    QTest::newRow("emf holding a wmf") << u"a.emf"_s << bytesOf(u"car.wmf"_s) << meta;
    QByteArray emfNoEof = bytesOf(u"car.emf"_s);
    emfNoEof.chop(20);
    QTest::newRow("emf without end record") << u"a.emf"_s << emfNoEof << meta;
    QByteArray emfHuge = bytesOf(u"car.emf"_s);
    qToLittleEndian<qint32>(2000000000, emfHuge.data() + 16); // bounds: right, bottom
    qToLittleEndian<qint32>(2000000000, emfHuge.data() + 20);
    QTest::newRow("emf of absurd size") << u"a.emf"_s << emfHuge << u"Image trop grande pour être affichée"_s;
    QTest::newRow("wmf cut short") << u"a.wmf"_s << bytesOf(u"truncated.wmf"_s) << meta;
    QTest::newRow("wmf holding an emf") << u"a.wmf"_s << bytesOf(u"car.emf"_s) << meta;
    QTest::newRow("wmf empty") << u"a.wmf"_s << QByteArray() << meta;
}

void PicturesTest::damagedFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QFile f(dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const platform::PictureResult r = platform::loadPicture(f.fileName());
    QCOMPARE(r.error, error);
    QVERIFY(r.image.isNull());
}

void PicturesTest::truncatedJpegShowsWhatWasDecoded()
{
    const platform::PictureResult r = platform::loadPicture(picture(u"truncated.jpg"_s));
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.image.size(), QSize(64, 48));
    QVERIFY(reddish(r.image.pixel(30, 12))); // the top of the red block came before the cut
}

void PicturesTest::missingFile()
{
    const QString path = picture(u"absent.jpg"_s);
    const platform::PictureResult r = platform::loadPicture(path);
    QCOMPARE(r.error, u"Impossible d'ouvrir le fichier "_s + path);
}

void PicturesTest::oversizedJpegRefused()
{
    // The frame header of the test JPEG, rewritten to announce 65 000 x 65 000 pixels.
    QByteArray jpg = bytesOf(u"car.jpg"_s);
    const qsizetype sof = jpg.indexOf(QByteArray("\xFF\xC0", 2));
    QVERIFY(sof > 0);
    jpg[sof + 5] = char(0xFD);
    jpg[sof + 6] = char(0xE8);
    jpg[sof + 7] = char(0xFD);
    jpg[sof + 8] = char(0xE8);
    const platform::PictureResult r = platform::decodeJpeg(jpg);
    QCOMPARE(r.error, u"Image trop grande pour être affichée"_s);
}

void PicturesTest::wmfTextWithoutFontFiles_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("no Type 1 fonts") << int(FontFiles::Type1Refused);
    QTest::newRow("no font file at all") << int(FontFiles::AllRefused);
}

// libwmf's usual fonts come from a package it only recommends: a fresh machine lacks them.
void PicturesTest::wmfTextWithoutFontFiles()
{
    QFETCH(int, state);
    setFontFiles(FontFiles(state));
    const platform::PictureResult car = platform::decodeWmf(bytesOf(u"car.wmf"_s));
    const platform::PictureResult text = platform::decodeWmf(bytesOf(u"text.wmf"_s));
    setFontFiles(FontFiles::Readable);
    QVERIFY2(car.ok(), qPrintable(car.error));
    QVERIFY2(text.ok(), qPrintable(text.error));
    // The word is drawn in black in the lower half, under the triangle's apex.
    int dark = 0;
    for (int y = text.image.height() / 2; y < text.image.height(); ++y) {
        for (int x = 0; x < text.image.width(); ++x) {
            const QRgb c = text.image.pixel(x, y);
            dark += qAlpha(c) > 128 && qGray(c) < 60 ? 1 : 0;
        }
    }
    QVERIFY2(dark > 40, qPrintable(QString::number(dark)));
}

QTEST_MAIN(PicturesTest)
#include "gui_pictures.moc"
