#pragma once
// Two tools of the builder for ledgers of any size: finding the entries already taken, and
// putting a ledger in date order.

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace importer {

// The entries of a ledger already taken, by a hash of what makes two entries the same (open
// addressing over indexes into the ledger: a large file adds no node per entry).
class SeenRows {
public:
    explicit SeenRows(size_t rows)
    {
        size_t n = 16;
        while (n < rows * 2)
            n *= 2;
        m_slots.assign(n, Slot{});
    }

    // True when an equal entry was seen; otherwise remembers this one as entry `index`.
    // `same(index)` compares with an entry seen before.
    template <class Same>
    bool seenBefore(size_t hash, quint32 index, Same &&same)
    {
        const size_t mask = m_slots.size() - 1;
        const auto check = quint32(hash >> 32);
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot &s = m_slots[i];
            if (s.index == 0) {
                s = {check, index + 1};
                return false;
            }
            if (s.check == check && same(s.index - 1))
                return true;
        }
    }

private:
    struct Slot {
        quint32 check = 0; // the hash's high half
        quint32 index = 0; // entry + 1; 0 for an empty slot
    };
    std::vector<Slot> m_slots;
};

// Puts the ledger in the order of its keys, equal keys in the order they came, moving each
// entry once into place.
template <class Entry>
void sortByKey(std::vector<Entry> &ledger, const std::vector<qint64> &keys)
{
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    const size_t n = keys.size();
    std::vector<quint32> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = quint32(i);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](quint32 a, quint32 b) { return keys[a] < keys[b]; });
    // Follow each cycle of the permutation: position i takes the entry at order[i].
    for (size_t i = 0; i < n; ++i) {
        if (order[i] == i)
            continue;
        Entry held = std::move(ledger[i]);
        size_t at = i;
        while (order[at] != i) {
            const size_t next = order[at];
            ledger[at] = std::move(ledger[next]);
            order[at] = quint32(at);
            at = next;
        }
        ledger[at] = std::move(held);
        order[at] = quint32(at);
    }
}

} // namespace importer
