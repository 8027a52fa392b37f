// The real plug-in through dlopen, as an image program loads it: the single export, the
// descriptor, the read entry's results and messages, the write entry.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "plugin/image_file_info.h"
#include "tests/plugin/elf_symbols.h"
#include "tests/plugin/test_support.h"

namespace plugintest {
namespace {

class LoadedPlugin : public ::testing::Test {
  protected:
    void SetUp() override {
        // Without a desktop the plug-in's messages go to standard error, where they are read.
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        module_ = dlopen(VANTOR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        getInfo_ = reinterpret_cast<GetImageFileInfoProc>(dlsym(module_, "GetImageFileInfo"));
        ASSERT_NE(getInfo_, nullptr);
        getInfo_(&info_);
    }
    void TearDown() override {
        if (module_ != nullptr) dlclose(module_);
    }

    // Reads a file through the plug-in; `message` receives what it reported.
    HGLOBAL Read(const std::string& path, std::string* message) {
        ::testing::internal::CaptureStderr();
        HGLOBAL h = info_.ReadImage(path.c_str());
        *message = ::testing::internal::GetCapturedStderr();
        return h;
    }

    void* module_ = nullptr;
    GetImageFileInfoProc getInfo_ = nullptr;
    ImageFileInfo info_{};
};

const char kUnsupported[] = "vantor: 不支持的jpeg 格式！\n";

TEST_F(LoadedPlugin, ExportsOnlyGetImageFileInfo) {
    const std::vector<std::string> symbols = DefinedDynamicSymbols(VANTOR_MODULE_PATH);
    EXPECT_EQ(symbols, std::vector<std::string>{"GetImageFileInfo"});
    EXPECT_EQ(dlsym(module_, "ReadImage"), nullptr);
    EXPECT_EQ(dlsym(module_, "WriteImage"), nullptr);
    EXPECT_EQ(dlsym(module_, "GlobalAlloc"), nullptr);
}

TEST_F(LoadedPlugin, CarriesItsVersionStrings) {
    std::ifstream in(VANTOR_MODULE_PATH, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* entry :
         {"FileVersion=1, 0, 0, 1", "ProductVersion=1, 0, 0, 1", "FileDescription=vantor DLL",
          "ProductName=vantor Dynamic Link Library", "InternalName=vantor",
          "OriginalFilename=vantor.DLL"}) {
        EXPECT_NE(image.find(std::string(entry) + '\0'), std::string::npos) << entry;
    }
}

TEST_F(LoadedPlugin, DescriptorBytes) {
    // Filled into storage whose bytes are not zero: the entry must write every one of its own
    // bytes and nothing past them.
    unsigned char storage[sizeof(ImageFileInfo) + 16];
    std::memset(storage, 0xCC, sizeof storage);
    auto* info = reinterpret_cast<ImageFileInfo*>(storage);
    EXPECT_EQ(getInfo_(info), info);

    const std::int32_t expectedSize = sizeof(void*) == 4 ? 76 : 84;
    EXPECT_EQ(sizeof(ImageFileInfo), static_cast<std::size_t>(expectedSize));
    std::int32_t size;
    std::memcpy(&size, storage, 4);
    EXPECT_EQ(size, expectedSize);
    EXPECT_STREQ(reinterpret_cast<const char*>(storage + 4), "jpg");
    const unsigned char description[] = {'J',  'p',  'e',  'g',  ' ',  0xB4, 0xA6,
                                         0xC0, 0xED, 0xB2, 0xE5, 0xBC, 0xFE, 0x00};
    EXPECT_EQ(std::memcmp(storage + 36, description, sizeof description), 0);
    void* read = nullptr;
    void* write = nullptr;
    std::memcpy(&read, storage + 68, sizeof read);
    std::memcpy(&write, storage + 68 + sizeof(void*), sizeof write);
    EXPECT_NE(read, nullptr);
    EXPECT_NE(write, nullptr);
    EXPECT_NE(read, write);
    for (std::size_t i = sizeof(ImageFileInfo); i < sizeof storage; ++i) {
        ASSERT_EQ(storage[i], 0xCC) << "byte " << i << " written";
    }

    // Every call gives the same record.
    unsigned char again[sizeof(ImageFileInfo)];
    std::memset(again, 0x55, sizeof again);
    getInfo_(reinterpret_cast<ImageFileInfo*>(again));
    EXPECT_EQ(std::memcmp(again, storage, sizeof again), 0);
}

TEST_F(LoadedPlugin, WriteRequestsAreRefusedWithAMessage) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(info_.WriteImage(), 0);
    EXPECT_EQ(info_.WriteImage("out.jpg", 1, nullptr), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "vantor: 不支持 Jpeg 格式文件的写操作\nvantor: 不支持 Jpeg 格式文件的写操作\n");
}

TEST_F(LoadedPlugin, MissingOrForeignFilesGiveNullWithoutMessage) {
    std::string message;
    EXPECT_EQ(Read(TempPath("no_such_file.jpg"), &message), nullptr);
    EXPECT_EQ(message, "");
    EXPECT_EQ(Read(WriteTempFile("text.jpg", {'h', 'e', 'l', 'l', 'o'}), &message), nullptr);
    EXPECT_EQ(message, "");
    EXPECT_EQ(Read(WriteTempFile("empty.jpg", {}), &message), nullptr);
    EXPECT_EQ(message, "");
}

TEST_F(LoadedPlugin, ProgressiveExtendedTwelveBitAndArithmeticFilesFailSilently) {
    const struct {
        std::uint8_t code;
        int precision;
    } frames[] = {{0xC2, 8}, {0xC1, 8}, {0xC1, 12}, {0xC9, 8}, {0xC0, 12}};
    for (const auto& f : frames) {
        JpegBuilder b;
        b.Soi().Dqt(0, 1).Sof(f.code, f.precision, 8, 8,
                              {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}});
        b.Eoi();
        std::string message;
        EXPECT_EQ(Read(WriteTempFile("frame.jpg", b.bytes()), &message), nullptr);
        EXPECT_EQ(message, "") << std::hex << int(f.code);
    }
}

TEST_F(LoadedPlugin, GreyScaleAndComponentlessFilesFailWithTheMessage) {
    FlatComponent grey{1, 1, 1, 1, 1, {5}};
    JpegBuilder b = FlatPictureHeader(8, 8, {grey});
    b.Sos({{1, 0, 0}}).Raw(EncodeInterleaved({grey}, 1, 1)).Eoi();
    std::string message;
    EXPECT_EQ(Read(WriteTempFile("grey.jpg", b.bytes()), &message), nullptr);
    EXPECT_EQ(message, kUnsupported);

    EXPECT_EQ(Read(WriteTempFile("soi_eoi.jpg", {0xFF, 0xD8, 0xFF, 0xD9}), &message), nullptr);
    EXPECT_EQ(message, kUnsupported);

    JpegBuilder four;
    four.Soi().Sof0(8, 8, {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}, {4, 1, 1, 0}}).Eoi();
    EXPECT_EQ(Read(WriteTempFile("four.jpg", four.bytes()), &message), nullptr);
    EXPECT_EQ(message, kUnsupported);
}

TEST_F(LoadedPlugin, AColourPictureComesBackAsALockedBitmap) {
    // 5 x 3, one unit: Y level 0, Cb and Cr level -1 give (126, 129, 126) everywhere.
    std::vector<FlatComponent> parts = {
        {1, 1, 1, 1, 1, {0}}, {2, 1, 1, 1, 1, {-1}}, {3, 1, 1, 1, 1, {-1}}};
    JpegBuilder b = FlatPictureHeader(3, 5, parts);
    b.Sos({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}).Raw(EncodeInterleaved(parts, 1, 1)).Eoi();
    std::string message;
    HGLOBAL h = Read(WriteTempFile("colour.jpg", b.bytes()), &message);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(message, "");
    EXPECT_EQ(GlobalSize(h), 40u + 16 * 3);
    EXPECT_EQ(GlobalFlags(h), 1u);  // returned locked once
    const auto* dib = static_cast<const std::uint8_t*>(GlobalLock(h));
    const std::uint8_t header[40] = {40, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 1, 0, 24, 0};
    EXPECT_EQ(std::memcmp(dib, header, 40), 0);
    for (int row = 0; row < 3; ++row) {
        const std::uint8_t* p = dib + 40 + row * 16;
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(p[3 * x], 126);
            EXPECT_EQ(p[3 * x + 1], 129);
            EXPECT_EQ(p[3 * x + 2], 126);
        }
        EXPECT_EQ(p[15], 0);  // row padding
    }
    EXPECT_EQ(GlobalUnlock(h), TRUE);
    EXPECT_EQ(GlobalUnlock(h), FALSE);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(LoadedPlugin, StrideFollowsTheWidth) {
    const struct {
        int width;
        std::size_t stride;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {17, 52}, {640, 1920}};
    for (const auto& c : cases) {
        const int across = (c.width + 7) / 8;
        FlatComponent y{1, 1, 1, across, 1, std::vector<int>(across, 0)};
        FlatComponent cb{2, 1, 1, across, 1, std::vector<int>(across, 0)};
        FlatComponent cr{3, 1, 1, across, 1, std::vector<int>(across, 0)};
        JpegBuilder b = FlatPictureHeader(2, c.width, {y, cb, cr});
        b.Sos({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}).Raw(EncodeInterleaved({y, cb, cr}, across, 1));
        b.Eoi();
        std::string message;
        HGLOBAL h = Read(WriteTempFile("stride.jpg", b.bytes()), &message);
        ASSERT_NE(h, nullptr) << c.width;
        EXPECT_EQ(GlobalSize(h), 40 + 2 * c.stride) << c.width;
        GlobalUnlock(h);
        GlobalFree(h);
    }
}

TEST_F(LoadedPlugin, AHugeFrameFailsInsteadOfExhaustingTheMachine) {
    // Five components sampled 15 x 15 and 65535 x 65535 samples: 21.5 GB of planes.
    JpegBuilder b;
    b.Soi().Sof0(65535, 65535,
                 {{1, 15, 15, 0}, {2, 15, 15, 0}, {3, 15, 15, 0}, {4, 15, 15, 0}, {5, 15, 15, 0}});
    b.Eoi();
    std::string message;
    const std::uint64_t need = vantor::JpegDecoder::FrameMemoryNeed(65640, 65640, 5, 65535, 65535);
    const bool tooLarge = need > vantor::AvailableMemoryBytes();
    EXPECT_EQ(Read(WriteTempFile("huge.jpg", b.bytes()), &message), nullptr);
    // Refused as a decoding failure, before any message; a machine large enough to hold the
    // planes refuses the five components instead.
    if (tooLarge) {
        EXPECT_EQ(message, "");
    }

    // Three components: 12.9 GB of planes and a 12.9 GB bitmap, beyond 32-bit sizes. Read only
    // where it cannot fit, since a machine that large would decode it.
    JpegBuilder colour;
    colour.Soi().Sof0(65535, 65535, {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).Eoi();
    if (vantor::JpegDecoder::FrameMemoryNeed(65536, 65536, 3, 65535, 65535) >
        vantor::AvailableMemoryBytes()) {
        EXPECT_EQ(Read(WriteTempFile("huge_colour.jpg", colour.bytes()), &message), nullptr);
        EXPECT_EQ(message, "");
    }
}

}  // namespace
}  // namespace plugintest
