// The shipped shared object, as the dynamic linker and a caller see it: its
// exported symbol set, its dependencies and name, and that a program's own
// platform functions take precedence over the stand-in's.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>

#include "kelu_util_avl.h"
#include "kelu_util_module.h"
#include "support/elf_dynamic.h"
#include "support/recording_platform.h"

namespace {

const kelu::test::ElfDynamic &sharedObject() {
    static const kelu::test::ElfDynamic elf = kelu::test::readElfDynamic(KELU_UTIL_SO_PATH);
    return elf;
}

// Every name the library exports, by family, and nothing else.
const std::set<std::string> kExpectedExports = {
    // module lifecycle
    "util_init",
    "util_finit",
    "UTIL_ModuleInit",
    "UTIL_ModuleFInit",
    // AVL tree descriptor
    "createAvl",
    "destroyAvl",
    "getAvlNodeNum",
    "getAvlFirstNode",
    "getAvlLastNode",
    // CRC-32, and ISA-L's CRC32C with its version markers
    "CRC_Crc32Start",
    "CRC_Crc32Continue",
    "CRC_Crc32End",
    "CRC_Crc32",
    "crc32_iscsi_00",
    "crc32_iscsi_00_slver",
    "crc32_iscsi_00_slver_00040014",
    // counted lists, unlocked
    "counterListInit",
    "counterListEmpty",
    "counterListAdd",
    "counterListAddTail",
    "counterListDel",
    "counterListCutFirstNode",
    "spinLockListAddNoLock",
    "spinLockListAddTailNoLock",
    "spinLockListDelNoLock",
    "spinLockListCutFirstNodeNoLock",
    "spinLockListCutLastNodeNoLock",
    // spin-lock list
    "spinLockListInit",
    "spinLockListDestroy",
    "spinLockListAdd",
    "spinLockListAddTail",
    "spinLockListDel",
    "spinLockListCutFirstNode",
    "spinLockListCutLastNode",
    // AVL tree operations and their table
    "findAvlNode",
    "walkAvlNode",
    "findAvlNearestNode",
    "insertAvlNode",
    "addAvlNode",
    "insertAvlNodeSpecified",
    "removeAvlNode",
    "initAvlSvcIntf",
    "GetAvlMgrAddr",
    "g_avlSvcOp",
};

TEST(SharedObject, ExportsExactlyTheInterface) {
    ASSERT_TRUE(sharedObject().ok) << KELU_UTIL_SO_PATH;
    EXPECT_EQ(sharedObject().defined, kExpectedExports);
}

TEST(SharedObject, NamedAndLinkedWithoutCxxRuntime) {
    ASSERT_TRUE(sharedObject().ok);
    EXPECT_EQ(sharedObject().soname, "libkelu_util.so.1");
    // Sanitizer builds add their own runtime; nothing else may appear.
    const std::regex allowed(
        R"(libc\.so\.6|libkelu_platform\.so\.1|libisal\.so\.2|lib(a|ub|t)san\.so\.[0-9]+)");
    for (const std::string &needed : sharedObject().needed) {
        EXPECT_TRUE(std::regex_match(needed, allowed)) << needed;
    }
    EXPECT_NE(std::find(sharedObject().needed.begin(), sharedObject().needed.end(),
                        "libkelu_platform.so.1"),
              sharedObject().needed.end());
    EXPECT_FALSE(sharedObject().executableStack);
}

// No C++ runtime and no load-time code: nothing imported from libstdc++ or
// the C++ ABI, and no static constructor compiled into the library.
TEST(SharedObject, NeedsNoCxxRuntimeAndRunsNothingAtLoad) {
    ASSERT_TRUE(sharedObject().ok);
    for (const std::string &name : sharedObject().undefined) {
        if (name == "__cxa_finalize") {  // glibc's, called by the C start-up files
            continue;
        }
        EXPECT_FALSE(name.starts_with("_Z") || name.starts_with("__cxa") ||
                     name.starts_with("__gxx") || name.starts_with("_Unwind"))
            << name;
    }
#ifdef KELU_SANITIZED_BUILD
    GTEST_SKIP() << "sanitizers add constructors of their own";
#endif
    EXPECT_FALSE(sharedObject().staticSymbols.empty()) << "built without a symbol table";
    for (const std::string &name : sharedObject().staticSymbols) {
        EXPECT_FALSE(name.starts_with("_GLOBAL__sub_I")) << name;
    }
}

TEST(SharedObject, ProgramsPlatformFunctionsTakePrecedence) {
    kelu::test::clearRecords();
    EXPECT_EQ(getAvlNodeNum(nullptr), AVL_ERR_PARAM);
    ASSERT_EQ(kelu::test::logRecords().size(), 1u);
    EXPECT_EQ(kelu::test::logRecords()[0].function, "getAvlNodeNum");

    EXPECT_EQ(UTIL_ModuleInit(), 0u);
    UTIL_ModuleFInit();
    EXPECT_EQ(kelu::test::lockCalls().size(), 4u);
}

}  // namespace
