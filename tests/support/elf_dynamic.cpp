#include "elf_dynamic.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace kelu::test {
namespace {

template <typename T>
bool readAt(const std::vector<char> &image, size_t offset, T *out) {
    if (offset > image.size() || image.size() - offset < sizeof(T)) {
        return false;
    }
    std::memcpy(out, image.data() + offset, sizeof(T));
    return true;
}

std::string stringAt(const std::vector<char> &image, const Elf64_Shdr &strtab, size_t index) {
    size_t offset = strtab.sh_offset + index;
    if (index >= strtab.sh_size || offset >= image.size()) {
        return "";
    }
    return std::string(image.data() + offset,
                       strnlen(image.data() + offset, image.size() - offset));
}

}  // namespace

ElfDynamic readElfDynamic(const std::string &path) {
    ElfDynamic result;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Elf64_Ehdr header;
    if (!readAt(image, 0, &header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64) {
        return result;
    }
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    for (size_t i = 0; i < sections.size(); ++i) {
        if (!readAt(image, header.e_shoff + i * sizeof(Elf64_Shdr), &sections[i])) {
            return result;
        }
    }
    std::vector<std::string> symbolNames;
    for (const Elf64_Shdr &section : sections) {
        if (section.sh_link >= sections.size()) {
            continue;
        }
        const Elf64_Shdr &strtab = sections[section.sh_link];
        if (section.sh_type == SHT_DYNSYM || section.sh_type == SHT_SYMTAB) {
            for (size_t off = sizeof(Elf64_Sym); off < section.sh_size; off += sizeof(Elf64_Sym)) {
                Elf64_Sym symbol;
                if (!readAt(image, section.sh_offset + off, &symbol)) {
                    return result;
                }
                std::string name = stringAt(image, strtab, symbol.st_name);
                int binding = ELF64_ST_BIND(symbol.st_info);
                if (section.sh_type == SHT_SYMTAB) {
                    result.staticSymbols.insert(name);
                    continue;
                }
                if (symbol.st_shndx != SHN_UNDEF &&
                    (binding == STB_GLOBAL || binding == STB_WEAK)) {
                    result.defined.insert(name);
                } else if (symbol.st_shndx == SHN_UNDEF && !name.empty()) {
                    result.undefined.insert(name);
                }
                symbolNames.resize(off / sizeof(Elf64_Sym) + 1);
                symbolNames.back() = name;
            }
        } else if (section.sh_type == SHT_DYNAMIC) {
            for (size_t off = 0; off < section.sh_size; off += sizeof(Elf64_Dyn)) {
                Elf64_Dyn entry;
                if (!readAt(image, section.sh_offset + off, &entry)) {
                    return result;
                }
                if (entry.d_tag == DT_NEEDED) {
                    result.needed.push_back(stringAt(image, strtab, entry.d_un.d_val));
                } else if (entry.d_tag == DT_SONAME) {
                    result.soname = stringAt(image, strtab, entry.d_un.d_val);
                }
            }
        }
    }
    for (const Elf64_Shdr &section : sections) {
        if (section.sh_type != SHT_RELA) {
            continue;
        }
        for (size_t off = 0; off + sizeof(Elf64_Rela) <= section.sh_size;
             off += sizeof(Elf64_Rela)) {
            Elf64_Rela relocation;
            if (!readAt(image, section.sh_offset + off, &relocation)) {
                return result;
            }
            size_t index = ELF64_R_SYM(relocation.r_info);
            if (ELF64_R_TYPE(relocation.r_info) == R_X86_64_JUMP_SLOT &&
                index < symbolNames.size()) {
                result.jumpSlots[symbolNames[index]] = relocation.r_offset;
            }
        }
    }
    for (size_t i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        if (readAt(image, header.e_phoff + i * sizeof(Elf64_Phdr), &segment) &&
            segment.p_type == PT_GNU_STACK) {
            result.executableStack = (segment.p_flags & PF_X) != 0;
        }
    }
    result.ok = true;
    return result;
}

}  // namespace kelu::test
