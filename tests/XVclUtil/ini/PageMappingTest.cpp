#include "XVclUtil/ini/PageMapping.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace XVclUtil;

TEST(PageMapping, ZeroFilledAlignedAndReleased) {
    for (std::size_t size : {1u, 8192u, 8193u, 100000u}) {
        auto* p = static_cast<std::uint8_t*>(XAllocVirtualMem(size));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8192, 0u);
        for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(p[i], 0);
        std::memset(p, 0xFF, size);
        EXPECT_TRUE(XFreeVirtualMem(p));
    }
    EXPECT_EQ(XAllocVirtualMem(0), nullptr);
    EXPECT_FALSE(XFreeVirtualMem(nullptr));
    int local;
    EXPECT_FALSE(XFreeVirtualMem(&local));
}

TEST(PageMapping, RemappedPagesKeepTheirSize) {
    auto* p = static_cast<std::uint8_t*>(XMapPages(8192));
    ASSERT_NE(p, nullptr);
    p[8191] = 1;
    auto* q = static_cast<std::uint8_t*>(XRemapPages(p, 8192, 65536));
    ASSERT_NE(q, nullptr);
    q[65535] = 2; // the whole new size is writable
    XUnmapPages(q, 65536);
}
