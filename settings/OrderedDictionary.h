#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace lumora {

// A string-keyed map that keeps insertion order and compares keys exactly (no case
// folding, no trimming). Small by nature: a handful of watched folders.
template<typename Value>
class OrderedDictionary
{
public:
    bool Exists(const QString &key) const { return find(key) >= 0; }
    qsizetype Count() const { return m_entries.size(); }

    // Adds a new key; false (and nothing changed) when the key exists already.
    bool Add(const QString &key, const Value &value)
    {
        if (Exists(key))
            return false;
        m_entries.append({key, value});
        return true;
    }

    // The value for key, or nothing.
    std::optional<Value> Item(const QString &key) const
    {
        const qsizetype i = find(key);
        if (i < 0)
            return std::nullopt;
        return m_entries.at(i).second;
    }

    // Replaces the value of an existing key or adds it at the end.
    void SetItem(const QString &key, const Value &value)
    {
        const qsizetype i = find(key);
        if (i < 0)
            m_entries.append({key, value});
        else
            m_entries[i].second = value;
    }

    bool Remove(const QString &key)
    {
        const qsizetype i = find(key);
        if (i < 0)
            return false;
        m_entries.removeAt(i);
        return true;
    }

    void RemoveAll() { m_entries.clear(); }

    QList<QString> Keys() const
    {
        QList<QString> keys;
        keys.reserve(m_entries.size());
        for (const auto &e : m_entries)
            keys.append(e.first);
        return keys;
    }

private:
    qsizetype find(const QString &key) const
    {
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (m_entries.at(i).first == key)
                return i;
        }
        return -1;
    }

    QList<std::pair<QString, Value>> m_entries;
};

} // namespace lumora
