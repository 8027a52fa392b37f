// image-plugin-host: a small image host. It loads a reader plug-in by path as an image program
// does, shows the plug-in's descriptor, and reads a picture through it into a .bmp file.
//
//   image-plugin-host PLUGIN --info              print the descriptor
//   image-plugin-host PLUGIN IN OUT.bmp          read IN through the plug-in and save it as OUT.bmp
//   image-plugin-host PLUGIN --write OUT         pass a write request to the plug-in
//
// Exit status: 0 on success, 1 when the plug-in could not read the file (or refused a write),
// 2 for usage errors, a plug-in that cannot be loaded or a file it does not handle.
#include <dlfcn.h>
#include <iconv.h>
#include <strings.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/winmem/winmem.h"
#include "plugin/image_file_info.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: image-plugin-host PLUGIN --info\n"
                 "       image-plugin-host PLUGIN IN OUT.bmp\n"
                 "       image-plugin-host PLUGIN --write OUT\n");
}

// The descriptor's texts are code page 936; the terminal wants UTF-8.
std::string Cp936ToUtf8(const char* text) {
    iconv_t cd = iconv_open("UTF-8", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string in(text);
    std::string out(in.size() * 4 + 4, '\0');
    char* src = in.data();
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return text;
    out.resize(out.size() - dstLeft);
    return out;
}

// The text of a fixed-size field up to its terminator (or the whole field without one).
std::string FieldText(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Writes a packed device-independent bitmap as a .bmp file: a 14-byte file header in front.
bool SaveBmp(const char* path, const std::uint8_t* dib, std::size_t size) {
    if (size < 40) return false;
    std::uint8_t header[14] = {'B', 'M'};
    PutU32(header + 2, static_cast<std::uint32_t>(14 + size));
    PutU32(header + 10, 14 + 40);
    PutU16(header + 6, 0);
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header &&
                    std::fwrite(dib, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

bool ExtensionMatches(const char* path, const char* extension) {
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '/');
    if (dot == nullptr || (slash != nullptr && dot < slash)) return false;
    return strcasecmp(dot + 1, extension) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        Usage();
        return 2;
    }
    const char* pluginPath = argv[1];
    // A bare name would make the loader search the library path: name the file itself.
    std::string loadPath = pluginPath;
    if (loadPath.find('/') == std::string::npos) loadPath = "./" + loadPath;
    void* module = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "image-plugin-host: cannot load %s: %s\n", pluginPath, dlerror());
        return 2;
    }
    auto getInfo = reinterpret_cast<GetImageFileInfoProc>(dlsym(module, "GetImageFileInfo"));
    if (getInfo == nullptr) {
        std::fprintf(stderr, "image-plugin-host: %s has no GetImageFileInfo\n", pluginPath);
        dlclose(module);
        return 2;
    }
    ImageFileInfo info;
    std::memset(&info, 0, sizeof info);
    getInfo(&info);

    int status = 0;
    if (std::strcmp(argv[2], "--info") == 0 && argc == 3) {
        std::printf("Size: %d\n", info.Size);
        std::printf("Extension: %s\n", FieldText(info.Extension, sizeof info.Extension).c_str());
        std::printf(
            "Description: %s\n",
            Cp936ToUtf8(FieldText(info.Description, sizeof info.Description).c_str()).c_str());
        std::printf("ReadImage: %s\n", info.ReadImage != nullptr ? "present" : "absent");
        std::printf("WriteImage: %s\n", info.WriteImage != nullptr ? "present" : "absent");
    } else if (std::strcmp(argv[2], "--write") == 0 && argc == 4) {
        if (info.WriteImage == nullptr) {
            status = 2;
        } else {
            const std::int32_t written = info.WriteImage(argv[3]);
            std::printf("WriteImage: %d\n", written);
            status = written != 0 ? 0 : 1;
        }
    } else if (argc == 4) {
        const char* in = argv[2];
        const char* out = argv[3];
        const std::string extension = FieldText(info.Extension, sizeof info.Extension);
        if (!ExtensionMatches(in, extension.c_str()) || info.ReadImage == nullptr) {
            std::fprintf(stderr, "image-plugin-host: %s does not read %s\n", pluginPath, in);
            status = 2;
        } else if (HGLOBAL picture = info.ReadImage(in)) {
            // The handle arrives locked once: lock again for our own use, then undo both.
            auto* dib = static_cast<const std::uint8_t*>(GlobalLock(picture));
            const bool saved = dib != nullptr && SaveBmp(out, dib, GlobalSize(picture));
            GlobalUnlock(picture);
            GlobalUnlock(picture);
            GlobalFree(picture);
            if (!saved) {
                std::fprintf(stderr, "image-plugin-host: cannot write %s\n", out);
                status = 2;
            }
        } else {
            std::fprintf(stderr, "image-plugin-host: %s could not read %s\n", pluginPath, in);
            status = 1;
        }
    } else {
        Usage();
        status = 2;
    }
    dlclose(module);
    return status;
}
