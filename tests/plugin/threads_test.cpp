// Decoding with helper threads: the same bitmaps as the reference path when host threads read at
// once through the real plug-in, when a scan decoded straight into the bitmap must be decoded
// again into the planes (a component that falls behind, a later scan, a failure), and the
// helpers end with the module.
#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "plugin/image_file_info.h"
#include "plugin/worker_pool.h"
#include "tests/plugin/test_support.h"

namespace plugintest {
namespace {

// Sets VANTOR_THREADS for the life of the object.
class ThreadsSetting {
  public:
    explicit ThreadsSetting(const char* value) { setenv("VANTOR_THREADS", value, 1); }
    ~ThreadsSetting() { unsetenv("VANTOR_THREADS"); }
};

std::string ReferenceBitmap(const Bytes& file) {
    vantor::JpegDecoder reference;
    reference.SetDecodePath(vantor::DecodePath::kReference);
    EXPECT_EQ(Decode(reference, file), 1);
    return BitmapOf(reference);
}

std::string WriteTemporary(const Bytes& bytes, const char* name) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

int ThreadsOfThisProcess() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return count;
}

TEST(Threads, TheDefaultNumberFollowsVantorThreads) {
    cpu_set_t set;
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    const int processors = std::min(CPU_COUNT(&set), vantor::kMaxThreads);
    const std::pair<const char*, int> cases[] = {
        {"1", 1}, {"3", 3}, {"64", vantor::kMaxThreads}, {"0", processors}, {"two", processors}};
    for (const auto& [value, expected] : cases) {
        const ThreadsSetting setting(value);
        EXPECT_EQ(vantor::DefaultThreadCount(), expected) << value;
    }
    EXPECT_EQ(vantor::DefaultThreadCount(), processors);
}

TEST(Threads, HostThreadsReadingAtOnceGetTheReferenceBitmaps) {
    // Pictures large enough for the helpers, 4:2:0 and 4:4:4, through the real module.
    const Bytes files[] = {ColourPicture(2, 2, 1, 1, 24, 18, 3),
                           ColourPicture(1, 1, 1, 1, 40, 36, 4)};
    const std::string paths[] = {WriteTemporary(files[0], "threads_a.jpg"),
                                 WriteTemporary(files[1], "threads_b.jpg")};
    const std::string expected[] = {ReferenceBitmap(files[0]), ReferenceBitmap(files[1])};
    void* module = dlopen(VANTOR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    ImageFileInfo info{};
    reinterpret_cast<GetImageFileInfoProc>(dlsym(module, "GetImageFileInfo"))(&info);
    const ThreadsSetting setting("3");
    std::string results[2][4];
    std::vector<std::thread> hosts;
    for (int h = 0; h < 2; ++h) {
        hosts.emplace_back([&, h] {
            for (std::string& result : results[h]) {
                HGLOBAL bitmap = info.ReadImage(paths[h].c_str());
                if (bitmap == nullptr) continue;
                result.assign(static_cast<const char*>(GlobalLock(bitmap)), GlobalSize(bitmap));
                GlobalUnlock(bitmap);
                GlobalUnlock(bitmap);
                GlobalFree(bitmap);
            }
        });
    }
    for (std::thread& host : hosts) host.join();
    dlclose(module);
    for (int h = 0; h < 2; ++h) {
        for (const std::string& result : results[h]) EXPECT_TRUE(result == expected[h]) << h;
    }
}

TEST(Threads, ScansThatNeedThePlanesEndAsOnTheReferencePath) {
    const std::vector<FlatComponent> components = ColourComponents(2, 2, 1, 1, 6, 12, 5);
    const Bytes interleaved = EncodeInterleaved(components, 6, 12, 1);

    // Chroma names DC table 2, which no DHT defines: its blocks never decode, so luma runs ahead
    // row after row until the rows outgrow the slots.
    JpegBuilder lagging = FlatPictureHeader(192, 96, components);
    lagging.Dri(1).Sos({{1, 0, 0}, {2, 2, 0}, {3, 2, 0}}).Raw(interleaved).Eoi();

    // A second scan adds luma again after new quantisation and DC tables under the numbers the
    // first scan used: the first one is decoded again with its own tables.
    std::vector<std::pair<int, std::uint8_t>> otherCodes;
    for (int s = 0; s <= 11; ++s) otherCodes.emplace_back(s + 1, static_cast<std::uint8_t>(s));
    JpegBuilder twoScans = FlatPictureHeader(192, 96, components);
    twoScans.Dri(1).Sos({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}).Raw(interleaved);
    twoScans.Dqt(0, 2).Dht(0, 0, HuffTable::FromLengths(otherCodes));
    twoScans.Dht(0, 1, HuffTable::StandardDc()).Dri(0).Sos({{1, 1, 0}});
    twoScans.Raw(EncodeSingle(components[0], 12, 24)).Eoi();

    const Bytes whole = ColourPicture(2, 2, 1, 1, 6, 12, 6);
    const std::pair<std::string, Bytes> cases[] = {
        {"lagging", lagging.bytes()},
        {"two scans", twoScans.bytes()},
        {"cut before EOI", Bytes(whole.begin(), whole.end() - 2)},
        {"cut inside the data", Bytes(whole.begin(), whole.begin() + whole.size() * 2 / 3)},
    };
    for (const auto& [label, file] : cases) {
        EXPECT_EQ(BitmapPathDifference(std::string(file.begin(), file.end())), "") << label;
    }
}

TEST(Threads, UnloadingTheModuleEndsItsHelpers) {
    const std::string path = WriteTemporary(ColourPicture(2, 2, 1, 1, 24, 18, 7), "threads_c.jpg");
    // A first thread made and ended, so that a sanitizer runtime has started its own by now.
    std::thread([] {}).join();
    const int before = ThreadsOfThisProcess();
    void* module = dlopen(VANTOR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    ImageFileInfo info{};
    reinterpret_cast<GetImageFileInfoProc>(dlsym(module, "GetImageFileInfo"))(&info);
    {
        const ThreadsSetting setting("4");
        HGLOBAL bitmap = info.ReadImage(path.c_str());
        ASSERT_NE(bitmap, nullptr);
        GlobalFree(bitmap);
    }
    EXPECT_EQ(ThreadsOfThisProcess(), before + 3);
    EXPECT_EQ(dlclose(module), 0);
    EXPECT_EQ(dlopen(VANTOR_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
    EXPECT_EQ(ThreadsOfThisProcess(), before);
}

TEST(Threads, AChildOfForkDecodesAndEndsAfterItsParentUsedHelpers) {
    const Bytes file = ColourPicture(2, 2, 1, 1, 24, 18, 8);
    const std::string expected = ReferenceBitmap(file);
    vantor::JpegDecoder parent;
    parent.SetBitmapOutput(true);
    parent.SetThreads(3);
    std::istringstream first(std::string(file.begin(), file.end()));
    ASSERT_EQ(parent.Open(first, vantor::kIntegerTransform), 1);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The parent's helpers did not come along: the child decodes alone, and its exit runs
        // the pool's destructor, which must not wait for them.
        vantor::JpegDecoder decoder;
        decoder.SetBitmapOutput(true);
        decoder.SetThreads(3);
        std::istringstream in(std::string(file.begin(), file.end()));
        const bool same =
            decoder.Open(in, vantor::kIntegerTransform) == 1 && BitmapOf(decoder) == expected;
        std::exit(same ? 0 : 1);
    }
    int status = -1;
    for (int waited = 0; waited < 200 && waitpid(child, &status, WNOHANG) == 0; ++waited) {
        usleep(50000);
    }
    if (waitpid(child, nullptr, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        FAIL() << "the child did not end";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace plugintest
