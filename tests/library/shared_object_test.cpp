// SPDX-License-Identifier: MIT
// The shipped shared object as a program sees it: the AVL operation table,
// the CRC32C export as calls by name reach it, its version markers, the
// program's own platform functions taking precedence over the stand-in's,
// and the layout of every public record, the same to C and to C++.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_module.h"
#include "library/layout.h"
#include "support/common.h"
#include "support/recording_platform.h"

namespace {

constexpr const char *kSlots[] = {
    "createAvl",          "destroyAvl",     "insertAvlNode", "findAvlNode",
    "findAvlNearestNode", "addAvlNode",     "removeAvlNode", "insertAvlNodeSpecified",
    "getAvlFirstNode",    "getAvlLastNode", "getAvlNodeNum"};

void *slot(const AvlSvcOp *table, size_t index) {
    void *value;
    std::memcpy(&value, reinterpret_cast<const char *>(table) + index * sizeof value, sizeof value);
    return value;
}

// In a freshly executed copy of this program, where no test has filled it:
// every slot is null, even after module init.
TEST(AvlOperationTable, EverySlotNullUntilFilled) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            UTIL_ModuleInit();
            UTIL_ModuleFInit();
            for (size_t i = 0; i < std::size(kSlots); ++i) {
                if (slot(GetAvlMgrAddr(), i) != nullptr) {
                    std::_Exit(1);
                }
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// Filled, by several threads at once, with the addresses the dynamic linker
// resolves; never emptied again.
TEST(AvlOperationTable, FilledWithTheResolvedAddresses) {
    AvlSvcOp *table = GetAvlMgrAddr();
    EXPECT_EQ(static_cast<void *>(table), dlsym(RTLD_DEFAULT, "g_avlSvcOp"));
    kelu::test::runThreads(4, [](int) { initAvlSvcIntf(); });
    for (size_t i = 0; i < std::size(kSlots); ++i) {
        EXPECT_EQ(slot(table, i), dlsym(RTLD_DEFAULT, kSlots[i])) << kSlots[i];
    }
    const AvlSvcOp filled = *table;
    initAvlSvcIntf();
    UTIL_ModuleInit();
    UTIL_ModuleFInit();
    EXPECT_EQ(std::memcmp(&filled, table, sizeof filled), 0);
    EXPECT_EQ(GetAvlMgrAddr(), table);
    // A call through a slot logs through this program's qxlog.
    kelu::test::clearRecords();
    EXPECT_EQ(table->getAvlNodeNum(nullptr), AVL_ERR_PARAM);
    EXPECT_EQ(kelu::test::transcript("avl.cpp"), "log 3 getAvlNodeNum 1565 NULL POINTER.\n");
}

// A call by name, from this program or through ISA-L's own procedure linkage
// table, binds to this library's export (whose results the checksum tests
// compare with ISA-L's).
TEST(Crc32cExport, CallsByNameBindToOurs) {
    Dl_info where{};
    ASSERT_NE(dladdr(dlsym(RTLD_DEFAULT, "crc32_iscsi_00"), &where), 0);
    EXPECT_NE(std::strstr(where.dli_fname, "libkelu_util"), nullptr) << where.dli_fname;
}

// Looked up in each library itself: the program may hold copies of them.
TEST(Crc32cExport, VersionMarkersAreIsaLs) {
    void *ours = dlopen(KELU_UTIL_SO_PATH, RTLD_NOW | RTLD_NOLOAD);
    void *isal = dlopen("libisal.so.2", RTLD_NOW | RTLD_NOLOAD);
    const void *marker = dlsym(ours, "crc32_iscsi_00_slver");
    const void *theirs = dlsym(isal, "crc32_iscsi_00_slver_00040014");
    Dl_info where{};
    ASSERT_NE(theirs, nullptr);
    ASSERT_NE(dladdr(marker, &where), 0);
    EXPECT_NE(std::strstr(where.dli_fname, "libkelu_util"), nullptr) << where.dli_fname;
    EXPECT_EQ(dlsym(ours, "crc32_iscsi_00_slver_00040014"), marker);
    EXPECT_EQ(std::memcmp(theirs, marker, sizeof(CrcVersionMarker)), 0);
    dlclose(isal);
    dlclose(ours);
}

#define KELU_LAYOUT_RECORD(T) sizeof(T), alignof(T),

TEST(Layout, SameInCAndCxx) {
    const std::vector<size_t> cxx = {KELU_LAYOUT(KELU_LAYOUT_RECORD, KELU_LAYOUT_FIELD)};
    const std::vector<size_t> c(keluLayoutSeenByC, keluLayoutSeenByC + cxx.size());
    EXPECT_EQ(c, cxx);
}

}  // namespace
