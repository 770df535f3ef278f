// Reads what a 64-bit ELF shared object offers to the dynamic linker: its
// defined dynamic symbols, its NEEDED entries and its SONAME.
#ifndef KELU_TESTS_ELF_DYNAMIC_H
#define KELU_TESTS_ELF_DYNAMIC_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kelu::test {

struct ElfDynamic {
    bool ok = false;                            // the file was read and parsed
    std::set<std::string> defined;              // global or weak symbols with a definition
    std::set<std::string> undefined;            // symbols imported from other objects
    std::set<std::string> staticSymbols;        // every name in .symtab (empty when stripped)
    std::map<std::string, uint64_t> jumpSlots;  // PLT symbol -> its GOT slot, from the load base
    std::vector<std::string> needed;            // DT_NEEDED, in order
    std::string soname;                         // DT_SONAME, or ""
    bool executableStack = true;                // PT_GNU_STACK missing or executable
};

ElfDynamic readElfDynamic(const std::string &path);

}  // namespace kelu::test

#endif  // KELU_TESTS_ELF_DYNAMIC_H
