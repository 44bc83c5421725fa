// The IPv6 question pool: a bounded number of threads, one question per name and resolver, the lookup
// asked last asked first, and every asker told once.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/winthread.h"
#include "tasks/questionpool.h"
#include "tests/support.h"

using namespace std::chrono_literals;
using testing_support::ScriptedResolver;
using testing_support::WaitUntil;
using Names = std::vector<std::string>;

namespace {

class QuestionPoolTest : public ::testing::Test {
protected:
    void SetUp() override { resolver.AnswerEverything({0, "any", {}, {"2001:db8::1"}}); }
    std::shared_ptr<Ipv6Question> Ask(QuestionPool& pool, const std::string& name) {
        return pool.Ask(name, winsock::CurrentResolver());
    }
    static bool Answered(const std::shared_ptr<Ipv6Question>& question) {
        return WaitUntil([&] { return question->Answer().state == Ipv6Answer::State::Addresses; });
    }
    ScriptedResolver resolver;
};

}  // namespace

TEST_F(QuestionPoolTest, AtMostEightThreadsAskAndTheQuestionsBeyondWaitTheirTurn) {
    QuestionPool pool;
    resolver.HoldIpv6();
    std::vector<std::shared_ptr<Ipv6Question>> questions;
    for (int i = 0; i < 10; ++i)
        questions.push_back(Ask(pool, "name" + std::to_string(i)));
    ASSERT_TRUE(WaitUntil([&] { return resolver.Ipv6Waiting() == 8; }));
    EXPECT_EQ(pool.Threads(), 8u);
    EXPECT_EQ(questions[9]->Answer().state, Ipv6Answer::State::Asking) << "waiting, not given up";
    resolver.ReleaseIpv6();
    for (const auto& question : questions)
        EXPECT_TRUE(Answered(question));
}

TEST_F(QuestionPoolTest, TheSameNameOutIsAskedOnceAndEveryAskerIsToldOnce) {
    QuestionPool pool;
    resolver.HoldIpv6();
    std::atomic<int> first{0}, second{0};
    Ask(pool, "same")->WhenAnswered([&](const Ipv6Answer&) { ++first; });
    Ask(pool, "same")->WhenAnswered([&](const Ipv6Answer&) { ++second; });
    resolver.ReleaseIpv6();
    ASSERT_TRUE(WaitUntil([&] { return first + second == 2; }));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(resolver.Ipv6Asked(), Names{"same"});
    EXPECT_TRUE(Answered(Ask(pool, "same"))) << "once answered, a name is asked again";
    EXPECT_EQ(resolver.Ipv6Asked(), (Names{"same", "same"}));
}

TEST_F(QuestionPoolTest, OfTheQuestionsWaitingTheOneAskedLastIsAskedFirst) {
    QuestionPool pool(1);
    resolver.HoldIpv6();
    const auto busy = Ask(pool, "busy");
    ASSERT_TRUE(WaitUntil([&] { return resolver.Ipv6Waiting() == 1; }));
    const auto oldest = Ask(pool, "older");
    Ask(pool, "old");
    Ask(pool, "newest");
    resolver.ReleaseIpv6();
    ASSERT_TRUE(Answered(oldest));
    EXPECT_EQ(resolver.Ipv6Asked(), (Names{"busy", "newest", "old", "older"}));
}

TEST_F(QuestionPoolTest, AThreadThatEndsIdleMakesRoomAndWithoutAnyThreadTheQuestionIsNotAsked) {
    QuestionPool pool(1, 10ms);
    ASSERT_TRUE(Answered(Ask(pool, "first")));
    ASSERT_TRUE(WaitUntil([&] { return pool.Threads() == 0; }));
    EXPECT_TRUE(Answered(Ask(pool, "second")));
    ASSERT_TRUE(WaitUntil([&] { return pool.Threads() == 0; }));
    SetThreadCreationFails(true);
    const auto notAsked = Ask(pool, "third");
    SetThreadCreationFails(false);
    EXPECT_EQ(notAsked->Answer().state, Ipv6Answer::State::NotAsked);
}
