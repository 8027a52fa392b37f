#include "tests/plugin/elf_symbols.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace plugintest {
namespace {

template <typename Ehdr, typename Shdr, typename Sym, unsigned char (*Bind)(unsigned char)>
std::vector<std::string> Symbols(const std::vector<char>& file) {
    std::vector<std::string> names;
    if (file.size() < sizeof(Ehdr)) return names;
    Ehdr eh;
    std::memcpy(&eh, file.data(), sizeof eh);
    if (eh.e_shoff == 0 ||
        eh.e_shoff + static_cast<std::size_t>(eh.e_shnum) * sizeof(Shdr) > file.size()) {
        return names;
    }
    std::vector<Shdr> sections(eh.e_shnum);
    std::memcpy(sections.data(), file.data() + eh.e_shoff, eh.e_shnum * sizeof(Shdr));
    for (const Shdr& sh : sections) {
        if (sh.sh_type != SHT_DYNSYM || sh.sh_link >= sections.size()) continue;
        const Shdr& strings = sections[sh.sh_link];
        if (sh.sh_offset + sh.sh_size > file.size() ||
            strings.sh_offset + strings.sh_size > file.size()) {
            continue;
        }
        for (std::size_t off = 0; off + sizeof(Sym) <= sh.sh_size; off += sizeof(Sym)) {
            Sym sym;
            std::memcpy(&sym, file.data() + sh.sh_offset + off, sizeof sym);
            const unsigned char bind = Bind(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK)) continue;
            if (sym.st_name >= strings.sh_size) continue;
            names.emplace_back(file.data() + strings.sh_offset + sym.st_name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

unsigned char Bind32(unsigned char info) { return ELF32_ST_BIND(info); }
unsigned char Bind64(unsigned char info) { return ELF64_ST_BIND(info); }

}  // namespace

std::vector<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) return {};
    if (file[EI_CLASS] == ELFCLASS32)
        return Symbols<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym, Bind32>(file);
    if (file[EI_CLASS] == ELFCLASS64)
        return Symbols<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym, Bind64>(file);
    return {};
}

}  // namespace plugintest
