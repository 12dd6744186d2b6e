#pragma once
// The texts of the ledger entries, kept compactly: a ledger may hold 100 000 entries of up to
// five texts each, most of them dates and amounts of a dozen characters. A QString per text
// would cost 24 bytes, a heap block and twice the file's bytes; a LedgerText holds a text of
// up to 15 Windows-1252 bytes in its own 16 bytes, and a longer one in a shared block.

#include <QString>
#include <QStringView>

#include <array>
#include <atomic>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

class LedgerText {
public:
    static constexpr int kInline = 15;

    LedgerText() noexcept = default;
    explicit LedgerText(QStringView text);
    // From the bytes of a file (Windows-1252, any byte allowed).
    // A short text (at most kInline bytes) packed into two words, its first byte lowest, as a
    // formatter builds it in registers: stored whole, so that reading it back never waits.
    static LedgerText fromPacked(quint64 lo, quint64 hi, int size) noexcept
    {
        LedgerText t;
        hi |= quint64(size) << 56;
        if constexpr (std::endian::native != std::endian::little) {
            for (int i = 0; i < 16; ++i)
                t.m_bytes[i] = char((i < 8 ? lo >> (8 * i) : hi >> (8 * (i - 8))) & 0xFF);
            return t;
        }
#if defined(__GNUC__)
        typedef quint64 Words __attribute__((vector_size(16)));
        const Words words = {lo, hi};
        std::memcpy(t.m_bytes, &words, sizeof words);
#else
        std::memcpy(t.m_bytes, &lo, 8);
        std::memcpy(t.m_bytes + 8, &hi, 8);
#endif
        return t;
    }
    static LedgerText fromBytes(const char *data, qsizetype size)
    {
        if (size > kInline)
            return fromLongBytes(data, size);
        LedgerText t;
        if (size > 0)
            std::memcpy(t.m_bytes, data, std::size_t(size));
        t.m_bytes[kInline] = char(size);
        return t;
    }

    // Inline: copying and moving are as cheap as for an integer pair, and ledgers do little else.
    LedgerText(const LedgerText &o) noexcept
    {
        std::memcpy(m_bytes, o.m_bytes, sizeof m_bytes);
        if (isBlock())
            addRef();
    }
    LedgerText(LedgerText &&o) noexcept
    {
        std::memcpy(m_bytes, o.m_bytes, sizeof m_bytes);
        o.m_bytes[kInline] = 0;
    }
    LedgerText &operator=(const LedgerText &o) noexcept
    {
        if (this != &o) {
            LedgerText copy(o);
            *this = std::move(copy);
        }
        return *this;
    }
    LedgerText &operator=(LedgerText &&o) noexcept
    {
        if (this != &o) {
            release();
            std::memcpy(m_bytes, o.m_bytes, sizeof m_bytes);
            o.m_bytes[kInline] = 0;
        }
        return *this;
    }
    ~LedgerText() { release(); }

    QString toString() const;
    bool isEmpty() const { return m_bytes[kInline] == 0; }
    qsizetype size() const;
    // Appends the text in Windows-1252 ('?' for a character the code page cannot hold).
    void appendEncoded(std::string &out) const;

    // Texts are kept in one canonical form, so equal texts have equal representations.
    friend bool operator==(const LedgerText &a, const LedgerText &b) noexcept;
    // Of the text alone: equal texts hash alike, whether they share a block or not.
    std::size_t hash() const noexcept;

private:
    // A text longer than kInline bytes, or one the code page cannot hold (kept as UTF-16).
    struct Block {
        std::atomic<int> ref;
        qsizetype size;
        bool wide;
        const char *bytes() const { return reinterpret_cast<const char *>(this + 1); }
        char *bytes() { return reinterpret_cast<char *>(this + 1); }
        const char16_t *units() const { return reinterpret_cast<const char16_t *>(this + 1); }
    };
    static constexpr unsigned char kBlockTag = 0xFF;

    bool isBlock() const { return static_cast<unsigned char>(m_bytes[kInline]) == kBlockTag; }
    Block *block() const;
    void setBlock(Block *b);
    static Block *newBlock(qsizetype size, bool wide);
    static LedgerText fromLongBytes(const char *data, qsizetype size);
    void addRef() noexcept;
    void release() noexcept
    {
        if (isBlock())
            releaseBlock();
    }
    void releaseBlock() noexcept;

    // Inline: the bytes, then their count in the last byte. Block: its address, then kBlockTag.
    alignas(8) char m_bytes[kInline + 1] = {};
};

static_assert(sizeof(LedgerText) == 16);

// One expense row, its texts in column order. Reading a column gives a QString; changing one
// goes through set(), so that a text is never changed by writing to a copy.
template <std::size_t N>
class LedgerEntry {
public:
    LedgerEntry() = default;
    template <typename... S>
        requires(sizeof...(S) >= 1 && sizeof...(S) <= N && (std::convertible_to<S, QStringView> && ...))
    LedgerEntry(const S &...texts) : m_texts{LedgerText(QStringView(texts))...}
    {
    }
    template <typename... T>
        requires(sizeof...(T) >= 1 && sizeof...(T) <= N
                 && (std::same_as<std::remove_cvref_t<T>, LedgerText> && ...))
    explicit LedgerEntry(T &&...texts) : m_texts{std::forward<T>(texts)...}
    {
    }

    static constexpr std::size_t size() { return N; }

    const QString operator[](std::size_t column) const { return m_texts[column].toString(); }
    void set(std::size_t column, QStringView text) { m_texts[column] = LedgerText(text); }

    const LedgerText &text(std::size_t column) const { return m_texts[column]; }
    LedgerText &text(std::size_t column) { return m_texts[column]; }
    auto begin() const { return m_texts.begin(); }
    auto end() const { return m_texts.end(); }

    friend bool operator==(const LedgerEntry &, const LedgerEntry &) = default;

private:
    std::array<LedgerText, N> m_texts;
};
