#pragma once
// Growable array with MFC's names and semantics: new elements are value-initialised, removal
// moves later elements up, SetSize(n, -1) keeps the grow-by value. Unlike MFC's, it can be
// copied, so records that hold arrays copy member-wise; assignment copies the elements and
// keeps the target's grow-by value, as Copy does. Not synchronised: the data center's
// locks guard the arrays it owns; a caller's array belongs to the caller's thread.

#include <algorithm>
#include <cstdint>
#include <vector>

using INT_PTR = std::intptr_t;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
  public:
    CArray() = default;
    CArray(const CArray& source) : m_data(source.m_data) {}
    CArray(CArray&& source) noexcept = default;
    CArray& operator=(const CArray& source) {
        if (this != &source) {
            Copy(source);
        }
        return *this;
    }
    CArray& operator=(CArray&& source) noexcept = default;
    ~CArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_data.empty(); }

    const TYPE& GetAt(INT_PTR index) const { return m_data[static_cast<size_t>(index)]; }
    void SetAt(INT_PTR index, ARG_TYPE element) { m_data[static_cast<size_t>(index)] = element; }
    TYPE& ElementAt(INT_PTR index) { return m_data[static_cast<size_t>(index)]; }
    const TYPE& operator[](INT_PTR index) const { return m_data[static_cast<size_t>(index)]; }
    TYPE& operator[](INT_PTR index) { return m_data[static_cast<size_t>(index)]; }
    TYPE* GetData() { return m_data.data(); }
    const TYPE* GetData() const { return m_data.data(); }

    INT_PTR Add(ARG_TYPE element) {
        m_data.push_back(element);
        return GetUpperBound();
    }

    // A negative size empties the array.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
        if (growBy >= 0) {
            m_nGrowBy = growBy;
        }
        m_data.resize(static_cast<size_t>(std::max<INT_PTR>(newSize, 0)));
    }

    // Inserting past the end first grows the array to the index, as MFC does.
    void InsertAt(INT_PTR index, ARG_TYPE element, INT_PTR count = 1) {
        if (index < 0 || count <= 0) {
            return;
        }
        if (index > GetSize()) {
            SetSize(index);
        }
        TYPE copy = element;  // the element may live inside this array
        m_data.insert(m_data.begin() + index, static_cast<size_t>(count), copy);
    }

    // Out-of-range parts of the request are ignored instead of corrupting the array.
    void RemoveAt(INT_PTR index, INT_PTR count = 1) {
        if (index < 0 || count <= 0 || index >= GetSize()) {
            return;
        }
        const INT_PTR last = std::min(GetSize(), index + count);
        m_data.erase(m_data.begin() + index, m_data.begin() + last);
    }

    void RemoveAll() { m_data.clear(); }

    void Copy(const CArray& source) {
        if (this != &source) {
            m_data = source.m_data;
        }
    }

    INT_PTR Append(const CArray& source) {
        const INT_PTR first = GetSize();
        if (this == &source) {
            const std::vector<TYPE> copy = source.m_data;
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), source.m_data.begin(), source.m_data.end());
        }
        return first;
    }

  private:
    std::vector<TYPE> m_data;
    INT_PTR m_nGrowBy = -1;
};
