// The modal responder's queue and the trace's JSON lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "platform/seams/seams.h"

namespace {

class ResponderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        seams::ClearAnswers();
        seams::EnableResponder(true);
        seams::SetResponderErrorHandler([this](const std::string& m) { errors.push_back(m); });
    }
    void TearDown() override {
        seams::EnableResponder(false);
        seams::ClearAnswers();
        seams::SetResponderErrorHandler(nullptr);
    }
    std::vector<std::string> errors;
};

TEST_F(ResponderTest, AnswersComeOutInTheOrderQueued) {
    EXPECT_TRUE(seams::QueueAnswer("yes"));
    EXPECT_TRUE(seams::QueueAnswer("text 张三 and more"));
    EXPECT_TRUE(seams::QueueAnswer("cancel"));
    EXPECT_EQ(seams::PendingAnswers(), 3u);
    seams::Answer a;
    ASSERT_TRUE(seams::TakeAnswer("box", &a));
    EXPECT_EQ(a.kind, seams::Answer::Yes);
    ASSERT_TRUE(seams::TakeAnswer("dialog", &a));
    EXPECT_EQ(a.kind, seams::Answer::Text);
    EXPECT_EQ(a.text, "张三 and more");
    ASSERT_TRUE(seams::TakeAnswer("dialog", &a));
    EXPECT_EQ(a.kind, seams::Answer::Cancel);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ResponderTest, MalformedAnswersAreRefused) {
    EXPECT_FALSE(seams::QueueAnswer("maybe"));
    EXPECT_FALSE(seams::QueueAnswer("OK"));
    EXPECT_FALSE(seams::QueueAnswer("texts"));
    EXPECT_EQ(seams::PendingAnswers(), 0u);
    EXPECT_TRUE(seams::QueueAnswer("text"));  // an empty name
    seams::Answer a;
    ASSERT_TRUE(seams::TakeAnswer("dialog", &a));
    EXPECT_EQ(a.kind, seams::Answer::Text);
    EXPECT_EQ(a.text, "");
}

TEST_F(ResponderTest, AnEmptyQueueIsAnErrorNamingTheBox) {
    seams::Answer a;
    EXPECT_FALSE(seams::TakeAnswer("message box \"失败\": 时间到!", &a));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("message box \"失败\""), std::string::npos);
}

TEST_F(ResponderTest, ADisabledResponderLeavesTheBoxToAPerson) {
    seams::EnableResponder(false);
    seams::QueueAnswer("ok");
    seams::Answer a;
    EXPECT_FALSE(seams::TakeAnswer("box", &a));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(seams::PendingAnswers(), 1u);
}

TEST(Trace, EventsBecomeOneJsonObjectEach) {
    std::vector<std::string> lines;
    seams::SetTraceSink([&](const std::string& e, const std::vector<seams::Field>& f) {
        lines.push_back(seams::TraceToJson(e, f));
    });
    seams::Trace("sound", {{"id", 139}, {"sync", true}});
    seams::Trace("msgbox", {{"caption", "失败"}, {"text", "时间到!\n\n加时间能量100分."}});
    seams::Trace("midi_stop");
    seams::Trace("picture", {{"file", std::string("img\\101.jpg")}});
    seams::SetTraceSink(nullptr);
    seams::Trace("sound", {{"id", 1}, {"sync", false}});  // no sink: dropped
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "{\"event\": \"sound\", \"id\": 139, \"sync\": true}");
    EXPECT_EQ(lines[1],
              "{\"event\": \"msgbox\", \"caption\": \"失败\", \"text\": "
              "\"时间到!\\n\\n加时间能量100分.\"}");
    EXPECT_EQ(lines[2], "{\"event\": \"midi_stop\"}");
    EXPECT_EQ(lines[3], "{\"event\": \"picture\", \"file\": \"img\\\\101.jpg\"}");
}

TEST(Trace, ControlCharactersAndQuotesAreEscaped) {
    EXPECT_EQ(seams::JsonString("a\"b\\c\td\x01"), "\"a\\\"b\\\\c\\td\\u0001\"");
}

TEST(Trace, JsonLineSinkWritesWholeLinesFromSeveralThreads) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    seams::SetTraceSink(seams::JsonLineSink(f));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                seams::Trace("url", {{"address", std::string(50, static_cast<char>('a' + t))}});
        });
    for (auto& th : threads) th.join();
    seams::SetTraceSink(nullptr);
    std::rewind(f);
    char buf[256];
    int count = 0;
    while (std::fgets(buf, sizeof buf, f)) {
        const std::string line(buf);
        ASSERT_EQ(line.size(), std::string("{\"event\": \"url\", \"address\": \"\"}\n").size() + 50)
            << line;
        const size_t start = line.size() - 53;  // the address, before "}\n
        EXPECT_EQ(line.substr(start, 50), std::string(50, line[start])) << line;
        ++count;
    }
    EXPECT_EQ(count, 800);
    std::fclose(f);
}

}  // namespace
