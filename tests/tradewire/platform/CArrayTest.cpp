#include <gtest/gtest.h>

#include "tradewire/CArray.h"
#include "tradewire/CString.h"

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

}  // namespace
