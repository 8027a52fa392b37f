#include <gtest/gtest.h>

#include <cstring>

#include "platform/shell/shell.h"
#include "tests/shell/shell_fixture.h"

namespace {

using shelltest::ShellTest;

// Reads a key's default value as a program reads it: 260 bytes at most.
long ReadDefault(const std::string& subKey, std::string& out) {
    HKEY key = nullptr;
    long err = RegOpenKeyEx(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (err != ERROR_SUCCESS) return err;
    unsigned char buffer[260];
    unsigned long size = sizeof buffer;
    err = RegQueryValueEx(key, nullptr, nullptr, nullptr, buffer, &size);
    if (err == ERROR_SUCCESS) out.assign(reinterpret_cast<char*>(buffer));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    return err;
}

TEST_F(ShellTest, HtmKeyNamesTheDefaultBrowserAndItsCommandLine) {
    WriteHomeFile("share/applications/webby.desktop",
                  "[Desktop Entry]\nName=Webby\nExec=\"/opt/web by/webby\" --new-window %u\n"
                  "[Desktop Action private]\nExec=webby --private %u\n");
    // The first entry listed is not installed; the second is.
    SetMimeApps(
        "[Added Associations]\nx-scheme-handler/http=other.desktop\n"
        "[Default Applications]\nx-scheme-handler/http=gone.desktop;webby.desktop;\n");
    std::string value;
    ASSERT_EQ(ReadDefault(".htm", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "webby.desktop");
    ASSERT_EQ(ReadDefault(value + "\\shell\\open\\command", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "\"/opt/web by/webby\" --new-window \"%1\"");
}

TEST_F(ShellTest, FallsBackToTheHtmlHandlerAndSystemFolders) {
    WriteHomeFile("system-share/applications/vendor/browser.desktop",
                  "[Desktop Entry]\nExec=vbrowser\n");
    WriteHomeFile("etc-xdg/mimeapps.list",
                  "[Default Applications]\ntext/html=vendor-browser.desktop\n");
    std::string value;
    ASSERT_EQ(ReadDefault(".HTM", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "vendor-browser.desktop");
    ASSERT_EQ(ReadDefault("vendor-browser.desktop\\Shell\\Open\\Command", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "\"vbrowser\"");
}

TEST_F(ShellTest, NoBrowserMeansNoKeys) {
    std::string value;
    EXPECT_EQ(ReadDefault(".htm", value), ERROR_FILE_NOT_FOUND);
    WriteHomeFile("share/applications/noexec.desktop", "[Desktop Entry]\nName=No command\n");
    EXPECT_EQ(ReadDefault("noexec.desktop\\shell\\open\\command", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadDefault("absent.desktop\\shell\\open\\command", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadDefault("../../etc\\shell\\open\\command", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadDefault("Software\\Other", value), ERROR_FILE_NOT_FOUND);
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyEx(reinterpret_cast<HKEY>(2), ".htm", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
}

TEST_F(ShellTest, QueryReportsTheSizeAndRefusesShortBuffers) {
    WriteHomeFile("share/applications/webby.desktop", "[Desktop Entry]\nExec=webby %u\n");
    SetMimeApps("[Default Applications]\nx-scheme-handler/http=webby.desktop\n");
    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyEx(HKEY_CLASSES_ROOT, "webby.desktop\\shell\\open\\command", 0, KEY_READ, &key),
        ERROR_SUCCESS);
    unsigned long size = 0;
    unsigned long type = 0;
    EXPECT_EQ(RegQueryValueEx(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, std::strlen("\"webby\" \"%1\"") + 1);
    unsigned char small[5] = {'x', 'x', 'x', 'x', 'x'};
    unsigned long smallSize = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "", nullptr, nullptr, small, &smallSize), ERROR_MORE_DATA);
    EXPECT_EQ(smallSize, size);
    EXPECT_EQ(small[0], 'x');  // nothing written
    EXPECT_EQ(RegQueryValueEx(key, "Other", nullptr, nullptr, small, &smallSize),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueEx(key, nullptr, nullptr, nullptr, small, &smallSize),
              ERROR_INVALID_HANDLE);
}

}  // namespace
