#include "plugin/vantor.h"

#include <cstring>

#include "plugin/message_box.h"
#include "plugin/planes.h"

namespace vantor {

const char kUnsupportedFormatMessage[] = "不支持的jpeg 格式！";
const char kWriteRefusedMessage[] = "不支持 Jpeg 格式文件的写操作";
const char kDescriptionCp936[] = "Jpeg \xB4\xA6\xC0\xED\xB2\xE5\xBC\xFE";

// Version of the module, readable with any ELF tool from its own section.
__attribute__((used, section(".vantor_version"))) const char kVersionStrings[] =
    "FileVersion=1, 0, 0, 1\0"
    "ProductVersion=1, 0, 0, 1\0"
    "FileDescription=vantor DLL\0"
    "ProductName=vantor Dynamic Link Library\0"
    "InternalName=vantor\0"
    "OriginalFilename=vantor.DLL\0"
    "Language=zh-CN\0";

HGLOBAL BitmapFromDecoder(JpegDecoder& decoder) {
    const ImageInfo info = decoder.GetInfo();
    if (info.componentCount != 3) {
        AfxMessageBox(kUnsupportedFormatMessage, MB_OK, 0);
        return nullptr;
    }
    // The planes are in memory already; the bitmap must fit beside them (a bitmap decoded into
    // directly was measured so before it was made).
    if (!decoder.BitmapReady() && BitmapBytes(info.width, info.height) > AvailableMemoryBytes()) {
        return nullptr;
    }
    return decoder.TakeBitmap();
}

}  // namespace vantor

extern "C" {

ImageFileInfo* GetImageFileInfo(ImageFileInfo* info) {
    // The bytes after the texts' terminators mean nothing; they are cleared all the same, so
    // that every call hands out the same 76 (or, with 8-byte pointers, 84) bytes.
    ImageFileInfo local;
    std::memset(&local, 0, sizeof local);
    local.Size = static_cast<std::int32_t>(sizeof(ImageFileInfo));
    std::strcpy(local.Extension, "jpg");
    std::strcpy(local.Description, vantor::kDescriptionCp936);
    local.ReadImage = ReadImage;
    local.WriteImage = WriteImage;
    std::memcpy(info, &local, sizeof local);
    return info;
}

HGLOBAL ReadImage(const char* path) {
    vantor::JpegDecoder decoder;
    decoder.SetBitmapOutput(true);  // the planes are read only through the bitmap
    HGLOBAL result = nullptr;
    if (decoder.Open(path, vantor::kIntegerTransform) != 0) {
        result = vantor::BitmapFromDecoder(decoder);
    }
    decoder.Release();
    return result;
}

std::int32_t WriteImage(...) {
    vantor::AfxMessageBox(vantor::kWriteRefusedMessage, vantor::MB_OK, 0);
    return 0;
}

}  // extern "C"
