// The shipped shared object, as the dynamic linker and a caller see it: its
// exported symbol set, its dependencies and name, and that a program's own
// platform functions take precedence over the stand-in's.
#include <gtest/gtest.h>

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
