// The hyperlink label's command lines built from a registered .htm handler, and its error texts.
#include "game/extras/link_text.h"

#include <gtest/gtest.h>

namespace {

const char* const kUrl = "https://kivra.example.org/";

TEST(LinkCommandLine, QuotedPlaceholderIsCutAtItsOpeningMark) {
    EXPECT_EQ(LinkCommandLine("\"/usr/bin/browser\" \"%1\"", kUrl),
              std::string("\"/usr/bin/browser\"  ") + kUrl);
    // Whatever follows the placeholder goes with it.
    EXPECT_EQ(LinkCommandLine("browser --new-window \"%1\" --private", kUrl),
              std::string("browser --new-window  ") + kUrl);
}

TEST(LinkCommandLine, BarePlaceholderIsCutBeforeIt) {
    EXPECT_EQ(LinkCommandLine("browser -url %1", kUrl), std::string("browser -url  ") + kUrl);
    // A quotation mark that does not enclose the placeholder is kept.
    EXPECT_EQ(LinkCommandLine("\"browser\" %1\"", kUrl), std::string("\"browser\"  ") + kUrl);
}

TEST(LinkCommandLine, LineWithoutPlaceholderKeepsAllItsText) {
    EXPECT_EQ(LinkCommandLine("\"/opt/web browser/run\" -nohome", kUrl),
              std::string("\"/opt/web browser/run\" -nohome ") + kUrl);
    EXPECT_EQ(LinkCommandLine("", kUrl), std::string(" ") + kUrl);
}

TEST(LinkOpenError, EveryListedCodeHasItsText) {
    const std::string prefix = "Unable to open hyperlink:\n\n";
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30,
         "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
         "processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
    };
    for (const auto& c : cases) EXPECT_EQ(LinkOpenErrorText(c.code), prefix + c.text) << c.code;
}

TEST(LinkOpenError, OtherCodesAreUnknownErrorsWithTheirNumber) {
    const std::string prefix = "Unable to open hyperlink:\n\n";
    EXPECT_EQ(LinkOpenErrorText(1), prefix + "Unknown Error (1) occurred.");
    EXPECT_EQ(LinkOpenErrorText(33), prefix + "Unknown Error (33) occurred.");
    EXPECT_EQ(LinkOpenErrorText(-7), prefix + "Unknown Error (-7) occurred.");
}

}  // namespace
