// The shipped crc32_iscsi_00 as the dynamic linker binds it. libisal.so.2
// calls its own crc32_iscsi_00 through a JUMP_SLOT, and with this library
// loaded first that slot holds our export: ISA-L's dispatcher sends SSE4.2
// processors without PCLMULQDQ there. These tests call what the slot holds,
// check that the library imports no CRC32C dispatcher that could send the
// call back, and compare the version markers with ISA-L's.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <isa-l/crc.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kelu_util_crc.h"
#include "support/crc_test_data.h"
#include "support/elf_dynamic.h"

namespace {

using Crc32cFunction = unsigned int (*)(unsigned char *, int, unsigned int);

std::string objectFileOf(const void *address) {
    Dl_info info{};
    return dladdr(address, &info) != 0 && info.dli_fname != nullptr ? info.dli_fname : "";
}

// What libisal.so.2's own PLT entry for crc32_iscsi_00 jumps to.
Crc32cFunction isaLsCrc32cSlot() {
    Dl_info isal{};
    if (dladdr(reinterpret_cast<void *>(&crc32_iscsi), &isal) == 0) {
        return nullptr;
    }
    const kelu::test::ElfDynamic elf = kelu::test::readElfDynamic(isal.dli_fname);
    auto slot = elf.jumpSlots.find("crc32_iscsi_00");
    if (slot == elf.jumpSlots.end()) {
        return nullptr;
    }
    Crc32cFunction target;
    std::memcpy(&target, static_cast<const char *>(isal.dli_fbase) + slot->second, sizeof target);
    return target;
}

TEST(Crc32cExport, IsaLsOwnSlotLandsOnOursAndReturnsIsaLsResult) {
    Crc32cFunction slot = isaLsCrc32cSlot();
    ASSERT_NE(slot, nullptr) << "libisal.so.2 has no PLT entry for crc32_iscsi_00";
    EXPECT_EQ(slot, &crc32_iscsi_00);
    EXPECT_NE(objectFileOf(reinterpret_cast<void *>(slot)).find("libkelu_util"), std::string::npos);

    const uint64_t seed = kelu::test::testSeed();
    SCOPED_TRACE(kelu::test::seedTrace(seed));
    std::mt19937_64 rng(seed);
    std::vector<uint8_t> data = kelu::test::randomBytes(rng, 70000 + 64);
    for (size_t n : kelu::test::sweepLengths(rng, 50, 70000)) {
        uint8_t *p = data.data() + rng() % 64;
        const auto init = static_cast<unsigned int>(rng());
        const int len = static_cast<int>(n);
        ASSERT_EQ(slot(p, len, init), crc32_iscsi(p, len, init)) << "length " << n;
    }
    unsigned char digits[] = "123456789";
    EXPECT_EQ(~slot(digits, 9, 0xFFFFFFFFu), 0xE3069283u);
}

TEST(Crc32cExport, ImportsNoCrc32cDispatcher) {
    const kelu::test::ElfDynamic elf = kelu::test::readElfDynamic(KELU_UTIL_SO_PATH);
    ASSERT_TRUE(elf.ok);
    EXPECT_EQ(elf.undefined.count("crc32_iscsi"), 0u);
    EXPECT_EQ(elf.undefined.count("crc32_iscsi_00"), 0u);
    EXPECT_EQ(elf.defined.count("crc32_iscsi_00"), 1u);
}

// Looked up in each library itself: a program's own references to the
// markers may be served by copies made in the program.
TEST(Crc32cExport, VersionMarkersMatchIsaLs) {
    void *ours = dlopen(KELU_UTIL_SO_PATH, RTLD_NOW | RTLD_NOLOAD);
    void *isal = dlopen("libisal.so.2", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(ours, nullptr);
    ASSERT_NE(isal, nullptr);
    const void *marker = dlsym(ours, "crc32_iscsi_00_slver");
    const void *theirs = dlsym(isal, "crc32_iscsi_00_slver_00040014");
    ASSERT_NE(marker, nullptr);
    ASSERT_NE(theirs, nullptr);
    EXPECT_EQ(dlsym(ours, "crc32_iscsi_00_slver_00040014"), marker);
    EXPECT_NE(objectFileOf(marker).find("libkelu_util"), std::string::npos);
    EXPECT_EQ(std::memcmp(theirs, marker, sizeof(CrcVersionMarker)), 0);
    EXPECT_EQ(crc32_iscsi_00_slver.serial, 0x0014u);
    EXPECT_EQ(crc32_iscsi_00_slver.version, 0x04u);
    EXPECT_EQ(crc32_iscsi_00_slver.core, 0x00u);
    dlclose(isal);
    dlclose(ours);
}

}  // namespace
