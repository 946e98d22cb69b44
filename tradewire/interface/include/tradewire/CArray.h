#pragma once
// Growable array with MFC's names and semantics: new elements are value-initialised, removal
// moves later elements up, SetSize(n, -1) keeps the grow-by value. Unlike MFC's, it can be
// copied and moved, so records that hold arrays copy member-wise; assignment, by copy or by
// move, takes the elements and keeps the target's grow-by value, as Copy does. Not synchronised:
// the data center's locks guard the arrays it owns; a caller's array belongs to the caller's
// thread.
//
// The layout has MFC's width: a pointer-sized first slot where MFC keeps its object header
// (here always null, never read, and no virtual function behind it, since compilers lay out
// virtual destructors differently), then the elements' buffer from the shared heap, the size,
// the capacity and the grow-by value, each an INT_PTR. All code is inline, so an array filled
// by the library can be grown or destroyed by a terminal built with another compiler, and the
// other way round. Growth at least doubles the capacity, and a positive grow-by value is the
// smallest step.
//
// Sizes are checked before memory is touched: a count beyond kMaxCount elements, or a failed
// allocation, throws CMemoryException and leaves the array as it was. Copy and assignment may
// stop between elements when an element's own copy throws; the array then holds whole
// elements only.

#include <stddef.h>
#include <stdint.h>

#include "tradewire/MemoryException.h"
#include "tradewire/SharedHeap.h"

using INT_PTR = intptr_t;

// Constructs elements in the array's raw buffer. A placement form of its own, because the
// standard one is declared by <new>, which the interface does not include.
struct CArrayPlacement {};
inline void* operator new(size_t, void* where, CArrayPlacement) {
    return where;
}
inline void operator delete(void*, void*, CArrayPlacement) {}

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
  public:
    // The largest element count whose bytes the address space can hold.
    static constexpr INT_PTR kMaxCount = static_cast<INT_PTR>(INTPTR_MAX / sizeof(TYPE));

    CArray() = default;
    CArray(const CArray& source) { Append(source); }
    CArray(CArray&& source) noexcept
        : m_pData(source.m_pData),
          m_nSize(source.m_nSize),
          m_nMaxSize(source.m_nMaxSize),
          m_nGrowBy(source.m_nGrowBy) {
        source.m_pData = nullptr;
        source.m_nSize = 0;
        source.m_nMaxSize = 0;
    }
    CArray& operator=(const CArray& source) {
        Copy(source);
        return *this;
    }
    CArray& operator=(CArray&& source) noexcept {
        if (this != &source) {
            FreeAll();
            m_pData = source.m_pData;
            m_nSize = source.m_nSize;
            m_nMaxSize = source.m_nMaxSize;
            source.m_pData = nullptr;
            source.m_nSize = 0;
            source.m_nMaxSize = 0;
        }
        return *this;
    }
    ~CArray() { FreeAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }
    bool IsEmpty() const { return m_nSize == 0; }

    const TYPE& GetAt(INT_PTR index) const { return m_pData[index]; }
    void SetAt(INT_PTR index, ARG_TYPE element) { m_pData[index] = element; }
    TYPE& ElementAt(INT_PTR index) { return m_pData[index]; }
    const TYPE& operator[](INT_PTR index) const { return m_pData[index]; }
    TYPE& operator[](INT_PTR index) { return m_pData[index]; }
    TYPE* GetData() { return m_pData; }
    const TYPE* GetData() const { return m_pData; }

    INT_PTR Add(ARG_TYPE element) {
        if (m_nSize == m_nMaxSize) {
            TYPE copy(element);  // the element may live inside this array
            Reserve(m_nSize + 1);
            new (m_pData + m_nSize, CArrayPlacement()) TYPE(static_cast<TYPE&&>(copy));
        } else {
            new (m_pData + m_nSize, CArrayPlacement()) TYPE(element);
        }
        return m_nSize++;
    }

    // A negative size empties the array. Shrinking keeps the buffer.
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
        if (newSize < 0) {
            newSize = 0;
        }
        if (newSize > m_nMaxSize) {
            Reserve(newSize);
        }
        if (growBy >= 0) {
            m_nGrowBy = growBy;
        }
        for (; m_nSize < newSize; ++m_nSize) {
            new (m_pData + m_nSize, CArrayPlacement()) TYPE();
        }
        DestroyTail(newSize);
    }

    // Inserting past the end first grows the array to the index, as MFC does.
    void InsertAt(INT_PTR index, ARG_TYPE element, INT_PTR count = 1) {
        if (index < 0 || count <= 0) {
            return;
        }
        const INT_PTR oldSize = index > m_nSize ? index : m_nSize;
        if (oldSize > kMaxCount || count > kMaxCount - oldSize) {
            TradewireThrowMemoryException();
        }
        TYPE copy(element);  // the element may live inside this array
        if (oldSize + count > m_nMaxSize) {
            Reserve(oldSize + count);
        }
        if (index > m_nSize) {
            SetSize(index);
        }
        for (INT_PTR i = 0; i < count; ++i) {
            new (m_pData + m_nSize, CArrayPlacement()) TYPE(copy);
            ++m_nSize;
        }
        for (INT_PTR i = oldSize - 1; i >= index; --i) {
            m_pData[i + count] = static_cast<TYPE&&>(m_pData[i]);
        }
        for (INT_PTR i = index; i < index + count && i < oldSize; ++i) {
            m_pData[i] = copy;
        }
    }

    // Out-of-range parts of the request are ignored instead of corrupting the array.
    void RemoveAt(INT_PTR index, INT_PTR count = 1) {
        if (index < 0 || count <= 0 || index >= m_nSize) {
            return;
        }
        const INT_PTR last = (count > m_nSize - index) ? m_nSize : index + count;
        const INT_PTR removed = last - index;
        for (INT_PTR i = last; i < m_nSize; ++i) {
            m_pData[i - removed] = static_cast<TYPE&&>(m_pData[i]);
        }
        DestroyTail(m_nSize - removed);
    }

    void RemoveAll() { DestroyTail(0); }

    // Reuses the target's elements and buffer where it can.
    void Copy(const CArray& source) {
        if (this == &source) {
            return;
        }
        if (source.m_nSize > m_nMaxSize) {
            Reserve(source.m_nSize);
        }
        const INT_PTR common = m_nSize < source.m_nSize ? m_nSize : source.m_nSize;
        for (INT_PTR i = 0; i < common; ++i) {
            m_pData[i] = source.m_pData[i];
        }
        for (; m_nSize < source.m_nSize; ++m_nSize) {
            new (m_pData + m_nSize, CArrayPlacement()) TYPE(source.m_pData[m_nSize]);
        }
        DestroyTail(source.m_nSize);
    }

    // Returns the index of the first appended element. An array may append itself.
    INT_PTR Append(const CArray& source) {
        const INT_PTR first = m_nSize;
        const INT_PTR count = source.m_nSize;
        if (count > kMaxCount - first) {
            TradewireThrowMemoryException();
        }
        if (first + count > m_nMaxSize) {
            Reserve(first + count);
        }
        for (INT_PTR i = 0; i < count; ++i) {
            new (m_pData + m_nSize, CArrayPlacement()) TYPE(source.m_pData[i]);
            ++m_nSize;
        }
        return first;
    }

  private:
    // Moves the elements into a buffer of at least `capacity` elements. Moving an element
    // throws nothing, so the array is unchanged unless the buffer was had.
    void Reserve(INT_PTR capacity) {
        if (capacity > kMaxCount) {
            TradewireThrowMemoryException();
        }
        INT_PTR target = m_nMaxSize > kMaxCount / 2 ? kMaxCount : m_nMaxSize * 2;
        if (m_nGrowBy > 0 && m_nGrowBy <= kMaxCount - m_nMaxSize &&
            m_nMaxSize + m_nGrowBy > target) {
            target = m_nMaxSize + m_nGrowBy;
        }
        if (target < capacity) {
            target = capacity;
        }
        if (target < 1) {
            target = 1;  // never reached; tells the compiler the buffer is not empty
        }
        TYPE* buffer =
            static_cast<TYPE*>(TradewireHeapAlloc(static_cast<size_t>(target) * sizeof(TYPE)));
        if (buffer == nullptr) {
            TradewireThrowMemoryException();
        }
        for (INT_PTR i = 0; i < m_nSize; ++i) {
            new (buffer + i, CArrayPlacement()) TYPE(static_cast<TYPE&&>(m_pData[i]));
            Destroy(m_pData[i]);
        }
        TradewireHeapFree(m_pData);
        m_pData = buffer;
        m_nMaxSize = target;
    }

    // The elements are exactly TYPE, so the destructor is called by name, not through the
    // virtual table (CForexMerch has a virtual destructor): an element constructed on the other
    // side of the DLL boundary carries that compiler's table, whose destructor slots differ
    // between the MinGW and MSVC ABIs (MSVC's first slot is a deleting destructor).
    static void Destroy(TYPE& element) { element.TYPE::~TYPE(); }

    void DestroyTail(INT_PTR newSize) {
        while (m_nSize > newSize) {
            --m_nSize;
            Destroy(m_pData[m_nSize]);
        }
    }

    void FreeAll() {
        DestroyTail(0);
        TradewireHeapFree(m_pData);
        m_pData = nullptr;
        m_nMaxSize = 0;
    }

    void* m_pObjectSlot = nullptr;  // where MFC keeps its object header; never read
    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = -1;
};
