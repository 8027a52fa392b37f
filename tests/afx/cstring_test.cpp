// CString: formatting, trimming, searching and slicing of UTF-8 text by bytes.
#include <gtest/gtest.h>

#include "platform/afx/afxwin.h"
#include "platform/afx/templates.h"

namespace {

TEST(CString, FormatsAndAppends) {
    CString s;
    s.Format("img\\%d%02d.jpg", 3, 7);
    EXPECT_EQ(s, "img\\307.jpg");
    s.Format("排名%d 得分%d 难度:", 3, 1250);
    s += "Ⅱ";
    EXPECT_EQ(s, "排名3 得分1250 难度:Ⅱ");
    std::string longText(5000, 'x');
    s.Format("%s!", longText.c_str());
    EXPECT_EQ(s.GetLength(), 5001);
    s.AppendFormat("%03d", 7);
    EXPECT_EQ(s.Right(4), "!007");
}

TEST(CString, TrimsSearchesAndSlices) {
    CString line("1250 \r\n");
    line.TrimRight();
    EXPECT_EQ(line, "1250");
    CString cmd("\"C:\\browser.exe\" \"%1\"");
    EXPECT_EQ(cmd.Find("\"%1\""), 17);
    EXPECT_EQ(cmd.Left(cmd.Find("\"%1\"")), "\"C:\\browser.exe\" ");
    EXPECT_EQ(cmd.Find("%2"), -1);
    EXPECT_EQ(cmd.Mid(1, 3), "C:\\");
    EXPECT_EQ(cmd.Mid(100), "");
    EXPECT_EQ(cmd.Left(-3), "");
    CString a("a-b-c");
    EXPECT_EQ(a.Replace("-", "--"), 2);
    EXPECT_EQ(a, "a--b--c");
    EXPECT_EQ(a.ReverseFind('-'), 5);
    EXPECT_EQ(CString("Hello").CompareNoCase("hELLO"), 0);
    EXPECT_LT(CString("a").Compare("b"), 0);
}

TEST(CString, BuffersAndStringTable) {
    CString s;
    char* p = s.GetBuffer(80);
    std::snprintf(p, 81, "%s", "score");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 5);
    afx::RegisterString(9101, "关于QarvenVorn版(&A)...");
    CString t;
    EXPECT_TRUE(t.LoadString(9101));
    EXPECT_EQ(t, "关于QarvenVorn版(&A)...");
    EXPECT_FALSE(t.LoadString(9999));
    EXPECT_TRUE(t.IsEmpty());
}

TEST(DialogUnits, ConvertAtOneAndAHalfPixelsRoundingHalvesUp) {
    EXPECT_EQ(afx::DialogUnitsToPixelsX(7), 11);
    EXPECT_EQ(afx::DialogUnitsToPixelsX(122), 183);
    EXPECT_EQ(afx::DialogUnitsToPixelsY(103), 155);
    EXPECT_EQ(afx::DialogUnitsToPixelsY(0), 0);
    EXPECT_EQ(afx::DialogUnitsToPixelsX(-3), -5);
}

}  // namespace
