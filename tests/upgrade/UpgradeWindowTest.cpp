// The window over the step machine: the round bar's drawing and clamping,
// and the step labels following the run.

#include "TMainFm.h"
#include "TRoundProgressBar.h"
#include "UpgradeTexts.h"

#include <QApplication>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

QApplication *app()
{
    static int argc = 1;
    static char name[] = "upgrade_window_test";
    static char *argv[] = {name, nullptr};
    static QApplication *a = new QApplication(argc, argv);
    return a;
}

} // namespace

TEST(TRoundProgressBar, ClampsAndSweepsClockwise)
{
    app();
    TRoundProgressBar bar;
    bar.resize(40, 40);
    bar.setLineColor(Qt::red);
    bar.setDispText(false);
    bar.setMax(6);
    bar.setPosition(-3);
    EXPECT_EQ(bar.Position(), 0);
    bar.setPosition(9);
    EXPECT_EQ(bar.Position(), 6);
    bar.setPosition(2);
    bar.step();
    EXPECT_EQ(bar.Position(), 3);

    // Half way: the right half is swept, the left half is not.
    const QImage half = bar.render();
    EXPECT_EQ(QColor(half.pixel(30, 20)), QColor(Qt::red));
    EXPECT_NE(QColor(half.pixel(10, 20)), QColor(Qt::red));
    bar.setPosition(6);
    EXPECT_EQ(QColor(bar.render().pixel(10, 20)), QColor(Qt::red));

    // An empty range draws nothing instead of dividing by zero.
    bar.setMin(5);
    bar.setMax(5);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_NE(QColor(bar.render().pixel(30, 20)), QColor(Qt::red));
}

TEST(TMainFm, BoldsTheCurrentStep)
{
    app();
    UpgradeArguments args;
    UpgradeRunner runner(args, {{"2.0", "http://127.0.0.1:1/x.zip"}, {"2.1", "http://127.0.0.1:1/y.zip"}},
                         UpgradeFolders("/nonexistent", "/nonexistent"), UpgradeTimings());
    TMainFm w(&runner);
    EXPECT_EQ(w.windowTitle(), UpgradeTexts::kMainCaption);
    EXPECT_EQ(w.prgTotal->Max(), 6);
    EXPECT_EQ(w.lbVer->text(), UpgradeTexts::kVersionInitial);

    emit runner.stepEntered(UpgradeRunner::Step::DownloadPackage, 0);
    emit runner.totalAdvanced();
    EXPECT_TRUE(w.stepLabel(UpgradeRunner::Step::DownloadPackage)->font().bold());
    EXPECT_TRUE(w.lbVer->font().bold());
    EXPECT_FALSE(w.stepLabel(UpgradeRunner::Step::CloseClient)->font().bold());
    EXPECT_EQ(w.prgTotal->Position(), 1);

    emit runner.stepLeft(UpgradeRunner::Step::DownloadPackage);
    emit runner.stepEntered(UpgradeRunner::Step::FinishUpgrade, 2);
    EXPECT_FALSE(w.stepLabel(UpgradeRunner::Step::DownloadPackage)->font().bold());
    EXPECT_FALSE(w.lbVer->font().bold());
    EXPECT_TRUE(w.stepLabel(UpgradeRunner::Step::FinishUpgrade)->font().bold());
}
