// The contract between an image host and a reader plug-in: the one exported entry
// GetImageFileInfo and the descriptor it fills.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/winmem/winmem.h"

extern "C" {

// Decodes the file at `path` into a packed 24-bit device-independent bitmap in movable global
// memory, returned locked once; null on failure. The caller unlocks and frees it.
typedef HGLOBAL (*ReadImageProc)(const char* path);

// Handles a write request; the arguments are the host's own. Returns 0 when nothing was written.
typedef std::int32_t (*WriteImageProc)(...);

#pragma pack(push, 1)
struct ImageFileInfo {
    std::int32_t Size;     // size of this record in bytes
    char Extension[32];    // extension handled, lower case, no dot, NUL-terminated
    char Description[32];  // text for the host's interface, code page 936, NUL-terminated
    ReadImageProc ReadImage;
    WriteImageProc WriteImage;
};
#pragma pack(pop)

// Fills the descriptor into caller storage of at least sizeof(ImageFileInfo) bytes and returns it.
typedef ImageFileInfo* (*GetImageFileInfoProc)(ImageFileInfo* info);

}  // extern "C"

static_assert(offsetof(ImageFileInfo, Size) == 0, "Size at offset 0");
static_assert(offsetof(ImageFileInfo, Extension) == 4, "Extension at offset 4");
static_assert(offsetof(ImageFileInfo, Description) == 36, "Description at offset 36");
static_assert(offsetof(ImageFileInfo, ReadImage) == 68, "ReadImage at offset 68");
static_assert(offsetof(ImageFileInfo, WriteImage) == 68 + sizeof(void*), "WriteImage follows");
static_assert(sizeof(ImageFileInfo) == 68 + 2 * sizeof(void*),
              "76 bytes in a 32-bit process, 84 in a 64-bit one");
