// CMyByteBuff: growing, keeping and losing bytes, and failed allocations.
#include "engine/ByteBuff.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
void* FailAlloc(size_t)
{
    return nullptr;
}

void FillBuff(CMyByteBuff& buff, DWORD dwCount)
{
    for (DWORD i = 0; i < dwCount; ++i)
        buff.GetBuff()[i] = (BYTE)(i + 1);
    ASSERT_EQ(1, buff.SetLength(dwCount));
}

bool HoldsPattern(const CMyByteBuff& buff, DWORD dwCount)
{
    for (DWORD i = 0; i < dwCount; ++i)
    {
        if (buff.GetBuff()[i] != (BYTE)(i + 1))
            return false;
    }
    return true;
}

bool IsZeroFrom(const CMyByteBuff& buff, DWORD dwFirst)
{
    for (DWORD i = dwFirst; i < buff.GetCapacity(); ++i)
    {
        if (buff.GetBuff()[i] != 0)
            return false;
    }
    return true;
}
} // namespace

TEST(ByteBuff, StartsEmptyAndAllocatesOnDemand)
{
    CMyByteBuff buff;
    EXPECT_EQ(nullptr, buff.GetBuff());
    EXPECT_EQ(0u, buff.GetCapacity());
    EXPECT_EQ(0u, buff.GetLength());
    EXPECT_EQ(0, buff.IsOwned());
    EXPECT_EQ(0, buff.SetLength(1));

    ASSERT_EQ(1, buff.Reallocate(16, 1));
    EXPECT_EQ(16u, buff.GetCapacity());
    EXPECT_EQ(0u, buff.GetLength());
    EXPECT_EQ(1, buff.IsOwned());
    EXPECT_TRUE(IsZeroFrom(buff, 0));
}

TEST(ByteBuff, ReallocateKeepsWhatFitsAndCutsTheLength)
{
    CMyByteBuff buff;
    ASSERT_EQ(1, buff.Reallocate(16, 0));
    FillBuff(buff, 12);

    ASSERT_EQ(1, buff.Reallocate(8, 1)); // shrinking cuts the length
    EXPECT_EQ(8u, buff.GetCapacity());
    EXPECT_EQ(8u, buff.GetLength());
    EXPECT_TRUE(HoldsPattern(buff, 8));

    ASSERT_EQ(1, buff.Reallocate(32, 1)); // growing keeps all, the rest zeros
    EXPECT_EQ(32u, buff.GetCapacity());
    EXPECT_EQ(8u, buff.GetLength());
    EXPECT_TRUE(HoldsPattern(buff, 8));
    EXPECT_TRUE(IsZeroFrom(buff, 8));

    ASSERT_EQ(1, buff.Reallocate(32, 0)); // without keep nothing survives
    EXPECT_EQ(0u, buff.GetLength());
    EXPECT_TRUE(IsZeroFrom(buff, 0));

    ASSERT_EQ(1, buff.Reallocate(0, 1));
    EXPECT_EQ(nullptr, buff.GetBuff());
    EXPECT_EQ(0u, buff.GetCapacity());
}

TEST(ByteBuff, ReserveOnlyGrows)
{
    CMyByteBuff buff;
    ASSERT_EQ(1, buff.Reserve(32, 1));
    FillBuff(buff, 20);
    BYTE* pbBefore = buff.GetBuff();
    ASSERT_EQ(1, buff.Reserve(16, 1));
    EXPECT_EQ(pbBefore, buff.GetBuff());
    EXPECT_EQ(32u, buff.GetCapacity());
    ASSERT_EQ(1, buff.Reserve(64, 1));
    EXPECT_EQ(64u, buff.GetCapacity());
    EXPECT_EQ(20u, buff.GetLength());
    EXPECT_TRUE(HoldsPattern(buff, 20));
}

TEST(ByteBuff, FailedAllocationKeepsTheOldBlockOnlyWithKeep)
{
    CMyByteBuff kept, dropped;
    ASSERT_EQ(1, kept.Reallocate(16, 0));
    ASSERT_EQ(1, dropped.Reallocate(16, 0));
    FillBuff(kept, 10);
    FillBuff(dropped, 10);
    BYTE* pbKept = kept.GetBuff();

    GetPlatformHooks().pfnAlloc = FailAlloc;
    int iKeep = kept.Reallocate(64, 1);
    int iReserve = kept.Reserve(64, 1);
    int iDrop = dropped.Reallocate(64, 0);
    ResetPlatformHooks();

    EXPECT_EQ(0, iKeep);
    EXPECT_EQ(0, iReserve);
    EXPECT_EQ(pbKept, kept.GetBuff());
    EXPECT_EQ(16u, kept.GetCapacity());
    EXPECT_EQ(10u, kept.GetLength());
    EXPECT_TRUE(HoldsPattern(kept, 10));

    EXPECT_EQ(0, iDrop);
    EXPECT_EQ(nullptr, dropped.GetBuff());
    EXPECT_EQ(0u, dropped.GetCapacity());
    EXPECT_EQ(0u, dropped.GetLength());
}
