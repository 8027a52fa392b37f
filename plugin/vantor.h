// The entries of the JPEG reader plug-in. Only GetImageFileInfo is exported from vantor.so;
// the host reaches the other two through the descriptor.
#pragma once

#include <cstdint>

#include "plugin/image_file_info.h"
#include "plugin/jpeg_decoder.h"

extern "C" {

__attribute__((visibility("default"))) ImageFileInfo* GetImageFileInfo(ImageFileInfo* info);

HGLOBAL ReadImage(const char* path);

std::int32_t WriteImage(...);

}  // extern "C"

namespace vantor {

// The messages of the read and write entries (UTF-8).
extern const char kUnsupportedFormatMessage[];
extern const char kWriteRefusedMessage[];

// The descriptor's Description: "Jpeg 处理插件" in code page 936.
extern const char kDescriptionCp936[];

// The bitmap of a decoded picture, or null with the message when it has not three components.
HGLOBAL BitmapFromDecoder(JpegDecoder& decoder);

}  // namespace vantor
