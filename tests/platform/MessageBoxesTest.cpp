#include "MessageBoxes.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxes, UnattendedAnswersWithTheDefaultAndPrintsOneLine)
{
    qputenv("OSTREL_UNATTENDED", "1");
    Msg::setApplicationTitle(QStringLiteral("外汇"));
    std::vector<Msg::Request> seen;
    const int id = Msg::addObserver([&](const Msg::Request &r) { seen.push_back(r); });
    bool presenterCalled = false;
    Msg::setPresenter([&](const Msg::Request &) { presenterCalled = true; return Msg::Yes; });

    testing::internal::CaptureStderr();
    EXPECT_FALSE(Msg::confirm(QStringLiteral("第一行\n第二行"), QString(), Msg::No));
    EXPECT_EQ(Msg::question(QStringLiteral("q"), QStringLiteral("C"), Msg::Retry | Msg::Cancel, Msg::Retry), Msg::Retry);
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(presenterCalled);
    EXPECT_NE(err.find("MessageBox: 外汇: 第一行\\n第二行\n"), std::string::npos) << err;
    EXPECT_NE(err.find("MessageBox: C: q\n"), std::string::npos);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, QStringLiteral("外汇"));

    // With a presenter and attended, the presenter answers.
    qputenv("OSTREL_UNATTENDED", "0");
    EXPECT_TRUE(Msg::confirm(QStringLiteral("x")));
    EXPECT_TRUE(presenterCalled);
    Msg::setPresenter({});
    Msg::removeObserver(id);
    qputenv("OSTREL_UNATTENDED", "1");
}

} // namespace
