// libPictor.so exports exactly the interface functions, each resolvable by
// name through dlopen.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "pictor.h"

extern "C" size_t pictorRecordSizeInC(void);
extern "C" size_t pictorPrefixOffsetInC(void);

namespace {

const std::set<std::string> kInterface = {
    "CreateDecoder",   "ReleaseDecoder",   "GifInitDecoder", "GifSetSource",  "GifGetFrame",
    "GifNextBlock",    "GifSkipNextBlock", "GifParseControl", "GifNextFrame", "GifReverse",
    "GifGetCurBlockTag", "GifGetBitmap",   "GifGetMask",     "GifClearUp",    "MaskBlt",
    "GetFrameLeft",    "GetFrameTop",      "GetFrameWidth",  "GetFrameHeight", "GetScreenWidth",
    "GetScreenHeight", "GetGifVersion",    "LoadGifFromFile", "GetDllInfo",   "GetDllInfoLen",
    "PictorDeleteBitmap",
};

// Names of the symbols the file defines in its dynamic symbol table.
std::set<std::string> definedDynamicSymbols(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(Elf64_Ehdr))
        return names;
    const auto *header = reinterpret_cast<const Elf64_Ehdr *>(file.data());
    if (memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 || header->e_ident[EI_CLASS] != ELFCLASS64)
        return names;
    const auto *sections = reinterpret_cast<const Elf64_Shdr *>(file.data() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr &strings = sections[sections[i].sh_link];
        const auto *symbols = reinterpret_cast<const Elf64_Sym *>(file.data() + sections[i].sh_offset);
        const size_t count = sections[i].sh_size / sizeof(Elf64_Sym);
        for (size_t s = 1; s < count; ++s) {
            const Elf64_Sym &sym = symbols[s];
            const int binding = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK))
                continue;
            names.insert(file.data() + strings.sh_offset + sym.st_name);
        }
    }
    return names;
}

TEST(PictorAbi, EveryInterfaceFunctionResolvesByName)
{
    void *library = dlopen(PICTOR_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const auto &name : kInterface)
        EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;

    using InfoLen = unsigned (*)();
    auto infoLen = reinterpret_cast<InfoLen>(dlsym(library, "GetDllInfoLen"));
    ASSERT_NE(infoLen, nullptr);
    EXPECT_GT(infoLen(), 18u);
    dlclose(library);
}

TEST(PictorAbi, CAndCppSeeTheSameRecord)
{
    EXPECT_EQ(pictorRecordSizeInC(), sizeof(GIFDECINFO));
    EXPECT_EQ(pictorPrefixOffsetInC(), offsetof(GIFDECINFO, Prefix));
}

TEST(PictorAbi, NothingElseIsExported)
{
    const auto exported = definedDynamicSymbols(PICTOR_LIBRARY_PATH);
    ASSERT_FALSE(exported.empty());
    std::vector<std::string> extra, missing;
    std::set_difference(exported.begin(), exported.end(), kInterface.begin(), kInterface.end(),
                        std::back_inserter(extra));
    std::set_difference(kInterface.begin(), kInterface.end(), exported.begin(), exported.end(),
                        std::back_inserter(missing));
    EXPECT_TRUE(extra.empty()) << "also exported: " << ::testing::PrintToString(extra);
    EXPECT_TRUE(missing.empty()) << "not exported: " << ::testing::PrintToString(missing);
}

} // namespace
