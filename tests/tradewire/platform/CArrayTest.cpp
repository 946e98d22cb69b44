#include <gtest/gtest.h>

#include "tradewire/CArray.h"
#include "tradewire/CString.h"
#include "tradewire/Records.h"

namespace {

using IntArray = CArray<int, int&>;

IntArray Make(std::initializer_list<int> values) {
    IntArray array;
    for (int v : values) {
        array.Add(v);
    }
    return array;
}

std::vector<int> Items(const IntArray& array) {
    return std::vector<int>(array.GetData(), array.GetData() + array.GetSize());
}

TEST(CArray, AddReturnsIndexAndSetSizeValueInitialisesNewElements) {
    IntArray array;
    int seven = 7;
    EXPECT_EQ(array.Add(seven), 0);
    EXPECT_EQ(array.Add(seven), 1);
    array.SetSize(4, -1);
    EXPECT_EQ(Items(array), (std::vector<int>{7, 7, 0, 0}));
    array.SetSize(1);
    EXPECT_EQ(Items(array), (std::vector<int>{7}));
    array.SetSize(0);
    EXPECT_TRUE(array.IsEmpty());
}

TEST(CArray, RemoveAtMovesLaterElementsUpAndIgnoresOutOfRangeParts) {
    IntArray array = Make({1, 2, 3, 4, 5});
    array.RemoveAt(1);
    EXPECT_EQ(Items(array), (std::vector<int>{1, 3, 4, 5}));
    array.RemoveAt(2, 10);
    EXPECT_EQ(Items(array), (std::vector<int>{1, 3}));
    array.RemoveAt(5);
    array.RemoveAt(-1);
    EXPECT_EQ(Items(array), (std::vector<int>{1, 3}));
}

TEST(CArray, InsertAtPlacesCopiesAndGrowsPastTheEnd) {
    IntArray array = Make({1, 2});
    int nine = 9;
    array.InsertAt(1, nine, 2);
    EXPECT_EQ(Items(array), (std::vector<int>{1, 9, 9, 2}));
    array.InsertAt(6, nine);
    EXPECT_EQ(Items(array), (std::vector<int>{1, 9, 9, 2, 0, 0, 9}));
    // Inserting an element of the array itself must copy it before the storage moves.
    array.InsertAt(0, array[3], 1);
    EXPECT_EQ(array[0], 2);
}

TEST(CArray, CopyAppendAndAssignmentKeepTheSourceIntact) {
    CArray<CString, CString&> source;
    CString a(L"a");
    CString b(L"b");
    source.Add(a);
    source.Add(b);
    CArray<CString, CString&> target;
    CString old(L"old");
    target.Add(old);
    target = source;
    ASSERT_EQ(target.GetSize(), 2);
    target[0] = L"changed";
    EXPECT_EQ(source[0], L"a");
    EXPECT_EQ(target.Append(target), 2);
    EXPECT_EQ(target.GetSize(), 4);
    EXPECT_EQ(target[3], L"b");
}

// Counts live instances, so every path that constructs, moves or removes elements can be
// checked to destroy exactly what it made.
struct Counted {
    static inline int live = 0;
    int value = 0;
    Counted() { ++live; }
    Counted(int v) : value(v) { ++live; }  // NOLINT(google-explicit-constructor)
    Counted(const Counted& other) : value(other.value) { ++live; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { --live; }
};

// MFC's width: object-header slot, buffer, size, capacity, grow-by.
static_assert(sizeof(CArray<int>) == sizeof(void*) * 2 + 3 * sizeof(INT_PTR));

TEST(CArray, EveryElementMadeIsDestroyedOnceWhateverThePath) {
    {
        CArray<Counted, Counted&> array;
        for (int i = 0; i < 100; ++i) {
            Counted element(i);
            array.Add(element);
        }
        Counted inserted(-1);
        array.InsertAt(50, inserted, 3);
        array.InsertAt(200, inserted);
        array.RemoveAt(10, 20);
        array.SetSize(40);
        CArray<Counted, Counted&> copy(array);
        copy.Append(copy);
        array = copy;
        array = array;
        EXPECT_EQ(array.GetSize(), 80);
        EXPECT_EQ(array[39].value, array[79].value);
        EXPECT_EQ(Counted::live, 161);  // both arrays and `inserted`
        array.RemoveAll();
        EXPECT_EQ(Counted::live, 81);
    }
    EXPECT_EQ(Counted::live, 0);
}

TEST(CArray, GrowthKeepsElementsAndHonoursGrowBy) {
    CArray<CString, CString&> array;
    array.SetSize(0, 100);
    for (int i = 0; i < 1000; ++i) {
        CString text;
        text.Format(L"item %d", i);
        array.Add(text);
    }
    // Adding an element of the array itself while the storage moves copies it first.
    while (array.GetSize() < 1024) {
        array.Add(array[0]);
    }
    EXPECT_EQ(array[999], L"item 999");
    EXPECT_EQ(array[1023], L"item 0");
    EXPECT_EQ(array.GetUpperBound(), 1023);
}

// The records' one polymorphic type: its vtable and strings survive moves between buffers,
// and the array destroys each element through its (virtual) destructor.
TEST(CArray, InstrumentsKeepTheirFieldsThroughGrowthAndRemoval) {
    CArray<CForexMerch, CForexMerch&> merchs;
    for (int i = 0; i < 50; ++i) {
        CForexMerch merch;
        merch.MerchCode.Format(L"M%02d", i);
        merch.MerchNo = i;
        merchs.Add(merch);
    }
    merchs.RemoveAt(0, 10);
    CForexMerch first;
    first.MerchCode = L"FIRST";
    merchs.InsertAt(0, first);
    CArray<CForexMerch, CForexMerch&> copy;
    copy = merchs;
    ASSERT_EQ(copy.GetSize(), 41);
    EXPECT_EQ(copy[0].MerchCode, L"FIRST");
    EXPECT_EQ(copy[1].MerchCode, L"M10");
    EXPECT_EQ(copy[40].MerchNo, 49);
    auto* heapCopy = new CForexMerch(copy[40]);
    delete heapCopy;  // through the virtual destructor
}

}  // namespace

namespace {

struct Wide16 {
    long long a = 0;
    long long b = 0;
};

// Counts whose bytes overflow are refused before memory is touched; the array keeps its
// elements.
TEST(CArray, HostileCountsThrowAndLeaveTheArrayAsItWas) {
    const INT_PTR huge = (INT_PTR{1} << 60) + 1;
    CArray<Wide16> array;
    array.Add(Wide16{1, 2});
    EXPECT_THROW(array.SetSize(huge), CMemoryException);
    EXPECT_THROW(array.SetSize(INTPTR_MAX), CMemoryException);
    EXPECT_THROW(array.InsertAt(huge, Wide16{}), CMemoryException);
    EXPECT_THROW(array.InsertAt(0, Wide16{}, huge), CMemoryException);
    EXPECT_THROW(array.InsertAt(1, Wide16{}, INTPTR_MAX), CMemoryException);
    ASSERT_EQ(array.GetSize(), 1);
    EXPECT_EQ(array[0].b, 2);

    // A grow-by beyond any buffer is only a wish: growth stays within what can be allocated.
    array.SetSize(0, INT_PTR{1} << 60);
    EXPECT_EQ(array.Add(Wide16{3, 4}), 0);
    EXPECT_EQ(array[0].a, 3);

    CArray<Wide16> big;
    big.SetSize(3);
    CArray<Wide16> copy;
    for (int i = 0; i < 4; ++i) {
        copy.Append(big);
    }
    EXPECT_EQ(copy.GetSize(), 12);
}

}  // namespace
