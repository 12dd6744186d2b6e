#pragma once
// Reads comma-, semicolon- or tab-separated text one record at a time from a device, so that a
// file of any size needs only the record being read in memory.

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <array>
#include <string>
#include <vector>

namespace importer::csv {

enum class Encoding { Utf8, Windows1252 };

// One record: its fields, unquoted, as the file's bytes.
class Record {
public:
    qint64 line = 0; // physical line (from 1) where the record starts

    int size() const { return int(m_ends.size()); }
    QByteArrayView bytes(int i) const;
    // The field decoded; empty for a field the record does not have.
    QString text(int i) const;
    // The same decoded into `scratch`, which is reused from call to call so that reading the
    // numbers and dates of a large file allocates nothing; valid until `scratch` changes.
    QStringView view(int i, QString &scratch) const;
    // Whether the bytes are UTF-8 (else Windows-1252).
    bool isUtf8() const { return m_utf8; }
    // True when every field is empty or only blanks (a blank line is such a record).
    bool isBlank() const;

private:
    friend class Reader;
    void clear()
    {
        m_data.clear();
        m_ends.clear();
    }
    std::string m_data;               // the fields back to back
    std::vector<qsizetype> m_ends;    // end of each field in m_data
    bool m_utf8 = true;
};

class Reader {
public:
    // Takes a first look at the device (from its current position): byte-order mark, encoding,
    // separator. The device must stay open while the reader is used.
    explicit Reader(QIODevice &device);

    Encoding encoding() const { return m_encoding; }
    bool hasBom() const { return m_bom; }
    char separator() const { return m_separator; }

    // The next record; false at the end or on an error.
    bool next(Record &record);

    enum class Error { None, Read, RecordTooLong };
    Error error() const { return m_error; }
    qint64 errorLine() const { return m_line; }

    // Back to the first record (the device must be seekable); false when it cannot seek.
    bool rewind();

    // Size of the reads from the device; small ones let tests put every boundary anywhere.
    static void setChunkForTests(qsizetype bytes);
    // Longest quoted field before its opening quote is taken for a plain character.
    static void setQuotedLimitForTests(qsizetype bytes);

private:
    enum class Parse { Done, End, NeedMore, QuotedTooLong };
    Parse parse(Record &record, bool quotes, qint64 &breaks);
    bool fill();
    void sniff();

    QIODevice &m_device;
    qint64 m_start = 0;        // device position of the first byte after the byte-order mark
    std::vector<char> m_buf;
    qsizetype m_pos = 0;       // start of the unread bytes
    qsizetype m_len = 0;       // end of the bytes read
    bool m_eof = false;
    qint64 m_line = 1;
    Encoding m_encoding = Encoding::Utf8;
    bool m_bom = false;
    char m_separator = ',';
    // Bytes that end a run of field bytes: kEndsPlain outside quotes, kEndsQuoted inside.
    static constexpr quint8 kEndsPlain = 1, kEndsQuoted = 2;
    std::array<quint8, 256> m_stops{};
    Error m_error = Error::None;
};

// True when the bytes are well-formed UTF-8. A sequence cut by the end is accepted when
// `allowCutEnd` is set (the end of a first look at a file).
bool isValidUtf8(QByteArrayView bytes, bool allowCutEnd = false);

} // namespace importer::csv
