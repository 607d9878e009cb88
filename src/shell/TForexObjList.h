#pragma once
// An ordered list that owns its items: removing an item or clearing the
// list destroys it. References to items held elsewhere never own them.

#include <algorithm>
#include <memory>
#include <vector>

template <typename T>
class TForexObjList
{
public:
    TForexObjList() = default;
    TForexObjList(const TForexObjList &) = delete;
    TForexObjList &operator=(const TForexObjList &) = delete;
    TForexObjList(TForexObjList &&) noexcept = default;
    TForexObjList &operator=(TForexObjList &&) noexcept = default;
    virtual ~TForexObjList() = default;

    // Takes ownership; returns the index.
    int Add(std::unique_ptr<T> item)
    {
        m_items.push_back(std::move(item));
        return int(m_items.size()) - 1;
    }
    template <typename U = T, typename... Args>
    U *Emplace(Args &&...args)
    {
        auto p = std::make_unique<U>(std::forward<Args>(args)...);
        U *raw = p.get();
        m_items.push_back(std::move(p));
        return raw;
    }
    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // nullptr when out of range.
    T *Item(int i) const { return i >= 0 && i < Count() ? m_items[size_t(i)].get() : nullptr; }
    T *operator[](int i) const { return Item(i); }
    int IndexOf(const T *item) const
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].get() == item)
                return int(i);
        return -1;
    }
    void Delete(int i)
    {
        if (i >= 0 && i < Count())
            m_items.erase(m_items.begin() + i);
    }
    void Clear() { m_items.clear(); }
    // Gives up ownership of the item without destroying it.
    std::unique_ptr<T> Extract(int i)
    {
        if (i < 0 || i >= Count())
            return nullptr;
        auto p = std::move(m_items[size_t(i)]);
        m_items.erase(m_items.begin() + i);
        return p;
    }
    void Swap(TForexObjList &other) noexcept { m_items.swap(other.m_items); }
    void Move(int from, int to)
    {
        if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
            return;
        auto p = std::move(m_items[size_t(from)]);
        m_items.erase(m_items.begin() + from);
        m_items.insert(m_items.begin() + to, std::move(p));
    }
    template <typename Less>
    void StableSort(Less less)
    {
        std::stable_sort(m_items.begin(), m_items.end(),
                         [&](const std::unique_ptr<T> &a, const std::unique_ptr<T> &b) { return less(*a, *b); });
    }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};

