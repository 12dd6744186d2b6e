#include "core/import/csv.h"

#include "core/vehicle/vtrfile.h"


#include <algorithm>
#include <array>
#include <cstring>
#include <map>

namespace importer::csv {

namespace {

qsizetype g_chunk = qsizetype(1) << 18;
qsizetype g_quotedLimit = qsizetype(1) << 20;
// A record longer than this is no line of a table: the file is not one we read.
constexpr qsizetype kMaxRecord = qsizetype(1) << 24;
// The first look (encoding, separator) always covers this much, whatever the chunk size, so
// that what is found does not depend on how the file is read.
constexpr qsizetype kFirstLook = 65536;
constexpr int kSniffLines = 30;

} // namespace

bool isValidUtf8(QByteArrayView bytes, bool allowCutEnd)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n) { // eight plain ASCII bytes at a time
            quint64 word = 0;
            std::memcpy(&word, s + i, sizeof word);
            if (!(word & 0x8080808080808080ULL)) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0; // no overlong forms
            else if (c == 0xED)
                hi = 0x9F; // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F; // nothing past U+10FFFF
        } else {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n)
                return allowCutEnd;
            const unsigned char t = s[i + k];
            if (k == 1 ? (t < lo || t > hi) : (t < 0x80 || t > 0xBF))
                return false;
        }
        i += extra + 1;
    }
    return true;
}

QByteArrayView Record::bytes(int i) const
{
    if (i < 0 || i >= size())
        return {};
    const qsizetype begin = i == 0 ? 0 : m_ends[size_t(i - 1)];
    return QByteArrayView(m_data.data() + begin, m_ends[size_t(i)] - begin);
}

QString Record::text(int i) const
{
    const QByteArrayView b = bytes(i);
    bool ascii = true;
    for (char c : b)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return QString::fromLatin1(b);
    return m_utf8 ? QString::fromUtf8(b) : vtrfile::decodeText(b);
}

QStringView Record::view(int i, QString &scratch) const
{
    const QByteArrayView b = bytes(i);
    // The scratch only grows: the view covers the part written. Never more UTF-16 units than
    // bytes.
    if (scratch.size() < b.size())
        scratch.resize(b.size());
    char16_t *d = reinterpret_cast<char16_t *>(scratch.data());
    const auto *s = reinterpret_cast<const unsigned char *>(b.data());
    const qsizetype n = b.size();
    qsizetype k = 0, out = 0;
    // Decoded as QString::fromUtf8 does: a byte-order mark at the start dropped. The record
    // is valid UTF-8, so a sequence that starts and ends inside the field is one; a field that
    // cuts one (possible, as the record joins its fields) takes the slow way.
    if (m_utf8 && n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF)
        k = 3;
    while (k < n) {
        const unsigned c = s[k];
        if (c < 0x80) {
            d[out++] = char16_t(c);
            ++k;
            continue;
        }
        const qsizetype length = c < 0xC0 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        if (!m_utf8 || length == 0 || k + length > n) {
            scratch = text(i);
            return scratch;
        }
        if (length == 2) {
            d[out++] = char16_t(((c & 0x1F) << 6) | (s[k + 1] & 0x3F));
        } else if (length == 3) {
            d[out++] = char16_t(((c & 0x0F) << 12) | ((s[k + 1] & 0x3F) << 6) | (s[k + 2] & 0x3F));
        } else {
            const char32_t u = ((c & 0x07) << 18) | ((s[k + 1] & 0x3F) << 12)
                | ((s[k + 2] & 0x3F) << 6) | (s[k + 3] & 0x3F);
            d[out++] = QChar::highSurrogate(u);
            d[out++] = QChar::lowSurrogate(u);
        }
        k += length;
    }
    return QStringView(d, out);
}

bool Record::isBlank() const
{
    return std::all_of(m_data.begin(), m_data.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

Reader::Reader(QIODevice &device) : m_device(device)
{
    m_start = device.pos();
    sniff();
}

void Reader::setChunkForTests(qsizetype bytes) { g_chunk = bytes > 0 ? bytes : qsizetype(1) << 18; }

void Reader::setQuotedLimitForTests(qsizetype bytes)
{
    g_quotedLimit = bytes > 0 ? bytes : qsizetype(1) << 20;
}

bool Reader::fill()
{
    if (m_eof)
        return false;
    const qsizetype rest = m_len - m_pos;
    if (rest > 0 && m_pos > 0)
        std::memmove(m_buf.data(), m_buf.data() + m_pos, size_t(rest));
    m_pos = 0;
    m_len = rest;
    if (m_buf.size() < size_t(rest + g_chunk))
        m_buf.resize(size_t(rest + g_chunk));
    const qint64 got = m_device.read(m_buf.data() + rest, g_chunk);
    if (got <= 0) {
        m_eof = true;
        if (got < 0)
            m_error = Error::Read;
        return false;
    }
    m_len += qsizetype(got);
    return true;
}

void Reader::sniff()
{
    while (m_len - m_pos < kFirstLook && !m_eof)
        fill();
    const char *b = m_buf.data();
    if (m_len >= 3 && std::memcmp(b, "\xEF\xBB\xBF", 3) == 0) {
        m_bom = true;
        m_pos = 3;
        m_start += 3;
    }
    const QByteArrayView look(b + m_pos, m_len - m_pos);
    m_encoding = m_bom || isValidUtf8(look, !m_eof) ? Encoding::Utf8 : Encoding::Windows1252;

    // The separator is the candidate found the same number of times (outside quotes) on the
    // most lines; lines without any candidate (blank lines, table markers) do not count.
    constexpr std::array<char, 3> candidates{'\t', ';', ','}; // preferred first on a tie
    std::array<std::map<int, int>, 3> countsSeen; // count on a line -> lines
    std::array<int, 3> onLine{};
    bool inQuotes = false;
    int lines = 0;
    auto endLine = [&] {
        if (onLine[0] + onLine[1] + onLine[2] > 0)
            for (size_t k = 0; k < candidates.size(); ++k)
                if (onLine[k] > 0)
                    ++countsSeen[k][onLine[k]];
        onLine = {};
        ++lines;
    };
    for (qsizetype i = 0; i < look.size() && lines < kSniffLines; ++i) {
        const char c = look[i];
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && (c == '\n' || c == '\r')) {
            if (c == '\r' && i + 1 < look.size() && look[i + 1] == '\n')
                ++i;
            endLine();
        } else if (!inQuotes) {
            for (size_t k = 0; k < candidates.size(); ++k)
                if (c == candidates[k])
                    ++onLine[k];
        }
    }
    if (lines < kSniffLines)
        endLine();
    int best = 0;
    for (size_t k = 0; k < candidates.size(); ++k) {
        int most = 0;
        for (const auto &[count, seen] : countsSeen[k])
            most = std::max(most, seen);
        if (most > best) {
            best = most;
            m_separator = candidates[k];
        }
    }
    m_stops.fill(0);
    for (unsigned char c : {'\r', '\n'})
        m_stops[c] = kEndsPlain | kEndsQuoted;
    m_stops[static_cast<unsigned char>(m_separator)] |= kEndsPlain;
    m_stops['"'] |= kEndsQuoted;
}

bool Reader::rewind()
{
    if (!m_device.seek(m_start))
        return false;
    m_pos = m_len = 0;
    m_eof = false;
    m_line = 1;
    m_error = Error::None;
    return true;
}

// Parses one record from m_pos. Nothing is consumed unless the record is whole: NeedMore asks
// for more bytes, after which the record is parsed again from its start.
Reader::Parse Reader::parse(Record &r, bool quotes, qint64 &breaks)
{
    r.clear();
    breaks = 0;
    const char *b = m_buf.data();
    const qsizetype n = m_len;
    qsizetype p = m_pos;
    if (p >= n)
        return m_eof ? Parse::End : Parse::NeedMore;
    const char sep = m_separator;
    // A line end: CR LF, lone CR or lone LF. Returns false when its CR may go on in the next read.
    auto lineEnd = [&](qsizetype &at) {
        if (b[at] == '\r') {
            if (at + 1 == n && !m_eof)
                return false;
            at += (at + 1 < n && b[at + 1] == '\n') ? 2 : 1;
        } else {
            ++at;
        }
        ++breaks;
        return true;
    };

    for (;;) {
        const qsizetype fieldStart = qsizetype(r.m_data.size());
        if (quotes) {
            qsizetype q = p;
            while (q < n && b[q] == ' ')
                ++q;
            if (q == n && !m_eof)
                return Parse::NeedMore;
            if (q < n && b[q] == '"') {
                p = q + 1;
                for (;;) {
                    const qsizetype s = p;
                    while (p < n && !(m_stops[static_cast<unsigned char>(b[p])] & kEndsQuoted))
                        ++p;
                    r.m_data.append(b + s, size_t(p - s));
                    if (qsizetype(r.m_data.size()) - fieldStart > g_quotedLimit)
                        return Parse::QuotedTooLong;
                    if (p == n) {
                        if (!m_eof)
                            return Parse::NeedMore;
                        break; // never closed: the field ends with the file
                    }
                    if (b[p] == '"') {
                        if (p + 1 == n && !m_eof)
                            return Parse::NeedMore;
                        if (p + 1 < n && b[p + 1] == '"') {
                            r.m_data.push_back('"');
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    if (!lineEnd(p))
                        return Parse::NeedMore;
                    r.m_data.push_back('\n');
                }
            }
        }
        // The plain field, or whatever stands between a closing quote and the separator.
        const qsizetype s = p;
        while (p < n && !(m_stops[static_cast<unsigned char>(b[p])] & kEndsPlain))
            ++p;
        r.m_data.append(b + s, size_t(p - s));
        if (p == n && !m_eof)
            return Parse::NeedMore;
        r.m_ends.push_back(qsizetype(r.m_data.size()));
        if (p == n)
            break;
        if (b[p] == sep) {
            ++p;
            continue;
        }
        if (!lineEnd(p))
            return Parse::NeedMore;
        break;
    }
    m_pos = p;
    return Parse::Done;
}

bool Reader::next(Record &record)
{
    if (m_error != Error::None)
        return false;
    bool quotes = true;
    for (;;) {
        qint64 breaks = 0;
        const Parse res = parse(record, quotes, breaks);
        if (res == Parse::End)
            return false;
        if (res == Parse::QuotedTooLong) {
            // A quote that never closes would swallow the rest of the file: read this record
            // again with its quotes taken as plain characters.
            quotes = false;
            continue;
        }
        if (res == Parse::NeedMore) {
            if (m_len - m_pos > kMaxRecord) {
                m_error = Error::RecordTooLong;
                return false;
            }
            fill();
            if (m_error != Error::None)
                return false;
            continue;
        }
        record.line = m_line;
        m_line += breaks;
        record.m_utf8 = m_encoding == Encoding::Utf8 && isValidUtf8(QByteArrayView(record.m_data));
        return true;
    }
}

} // namespace importer::csv
