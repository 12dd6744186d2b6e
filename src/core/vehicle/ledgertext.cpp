#include "core/vehicle/ledgertext.h"

#include "core/vehicle/codepage.h"

#include <cstring>
#include <new>

namespace {

// Whether the code page holds the character: then the text is kept as its bytes.
bool narrow(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return true;
    for (char16_t h : vtrfile::codepage::kHigh)
        if (h == c)
            return true;
    return false;
}

} // namespace

LedgerText::Block *LedgerText::newBlock(qsizetype size, bool wide)
{
    void *raw = ::operator new(sizeof(Block) + std::size_t(size) * (wide ? 2 : 1));
    return new (raw) Block{{1}, size, wide};
}

LedgerText::Block *LedgerText::block() const
{
    Block *b;
    std::memcpy(&b, m_bytes, sizeof b);
    return b;
}

void LedgerText::setBlock(Block *b)
{
    std::memcpy(m_bytes, &b, sizeof b);
    m_bytes[kInline] = char(kBlockTag);
}

void LedgerText::addRef() noexcept { block()->ref.fetch_add(1, std::memory_order_relaxed); }

void LedgerText::releaseBlock() noexcept
{
    Block *b = block();
    if (b->ref.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        b->~Block();
        ::operator delete(b);
    }
}

LedgerText::LedgerText(QStringView text)
{
    const qsizetype n = text.size();
    const char16_t *u = text.utf16();
    bool bytes = true;
    for (qsizetype i = 0; i < n && bytes; ++i)
        bytes = narrow(u[i]);
    if (!bytes) {
        Block *b = newBlock(n, true);
        std::memcpy(b->bytes(), u, std::size_t(n) * 2);
        setBlock(b);
        return;
    }
    char *out = m_bytes;
    if (n > kInline) {
        Block *b = newBlock(n, false);
        out = b->bytes();
        setBlock(b);
    } else {
        m_bytes[kInline] = char(n);
    }
    for (qsizetype i = 0; i < n; ++i)
        out[i] = vtrfile::codepage::encodeUnit(u[i]);
}

LedgerText LedgerText::fromLongBytes(const char *data, qsizetype size)
{
    LedgerText t;
    Block *b = newBlock(size, false);
    std::memcpy(b->bytes(), data, std::size_t(size));
    t.setBlock(b);
    return t;
}

qsizetype LedgerText::size() const
{
    return isBlock() ? block()->size : qsizetype(static_cast<unsigned char>(m_bytes[kInline]));
}

QString LedgerText::toString() const
{
    if (!isBlock())
        return vtrfile::codepage::decodeSpan(m_bytes, qsizetype(static_cast<unsigned char>(m_bytes[kInline])));
    const Block *b = block();
    if (b->wide)
        return QString(reinterpret_cast<const QChar *>(b->units()), b->size);
    return vtrfile::codepage::decodeSpan(b->bytes(), b->size);
}

void LedgerText::appendEncoded(std::string &out) const
{
    if (!isBlock()) {
        out.append(m_bytes, std::size_t(static_cast<unsigned char>(m_bytes[kInline])));
        return;
    }
    const Block *b = block();
    if (b->wide)
        vtrfile::codepage::appendEncoded(out, QStringView(b->units(), b->size));
    else
        out.append(b->bytes(), std::size_t(b->size));
}

bool operator==(const LedgerText &a, const LedgerText &b) noexcept
{
    if (a.m_bytes[LedgerText::kInline] != b.m_bytes[LedgerText::kInline])
        return false;
    if (!a.isBlock())
        return std::memcmp(a.m_bytes, b.m_bytes, std::size_t(a.size())) == 0;
    const LedgerText::Block *x = a.block();
    const LedgerText::Block *y = b.block();
    return x == y
           || (x->size == y->size && x->wide == y->wide
               && std::memcmp(x->bytes(), y->bytes(), std::size_t(x->size) * (x->wide ? 2 : 1)) == 0);
}

std::size_t LedgerText::hash() const noexcept
{
    quint64 h;
    if (!isBlock()) {
        // The unused bytes of an inline text are zero: both words are the text and its length.
        quint64 w[2];
        std::memcpy(w, m_bytes, sizeof w);
        h = (w[0] * 0x9E3779B97F4A7C15ULL) ^ (w[1] + 0x632BE59BD9B4E019ULL);
    } else {
        const Block *b = block();
        const auto *p = reinterpret_cast<const unsigned char *>(b->bytes());
        h = b->wide ? 0x5851F42D4C957F2DULL : 0;
        for (std::size_t i = 0, n = std::size_t(b->size) * (b->wide ? 2 : 1); i < n; ++i)
            h = (h ^ p[i]) * 1099511628211ULL;
    }
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ULL;
    h ^= h >> 32;
    return std::size_t(h);
}
