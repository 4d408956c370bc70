#include "TFormLoading.h"

#include <QLabel>
#include <QProgressBar>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

TEST(TFormLoading, OperationsMoveTheBarsAndSetTheTexts)
{
    TFormLoading window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.findChild<QProgressBar*>("LoadingProgress"), window.LoadingProgress);
    EXPECT_EQ(window.findChild<QLabel*>("LblPart"), window.LblPart);

    window.SetOverallMax(6);
    window.SetCurrentText("Retrieving GTA Path");
    window.StepOverall();
    EXPECT_EQ(window.LoadingProgress->maximum(), 6);
    EXPECT_EQ(window.LoadingProgress->value(), 1);
    EXPECT_EQ(window.LblCurrent->text(), QStringLiteral("Retrieving GTA Path"));

    window.SetPartMax(3);
    window.SetPartText("data\\maps\\x.ipl");
    window.StepPart();
    window.StepPart();
    EXPECT_EQ(window.PartProgress->maximum(), 3);
    EXPECT_EQ(window.PartProgress->value(), 2);
    EXPECT_EQ(window.LblPart->text(), QStringLiteral("data\\maps\\x.ipl"));

    // The next stage starts its part from the beginning.
    window.StepOverall();
    EXPECT_EQ(window.LoadingProgress->value(), 2);
    EXPECT_EQ(window.PartProgress->value(), 0);

    window.StepPart();
    window.ResetPart();
    EXPECT_EQ(window.PartProgress->value(), 0);
    EXPECT_TRUE(window.LblPart->text().isEmpty());

    window.ResetOverall();
    EXPECT_EQ(window.LoadingProgress->value(), 0);
    EXPECT_TRUE(window.LblCurrent->text().isEmpty());
}

TEST(TFormLoading, BarsStopAtTheirMaximum)
{
    TFormLoading window;
    window.SetOverallMax(6);
    for (int i = 0; i < 8; ++i)
        window.StepOverall();
    EXPECT_EQ(window.LoadingProgress->value(), 6);
    window.SetPartMax(0);
    window.StepPart();
    EXPECT_EQ(window.PartProgress->value(), 0);
}

TEST(TFormLoading, DoubledAmpersandsShowAsOne)
{
    TFormLoading window;
    window.SetCurrentText("Loading Models && Textures");
    EXPECT_EQ(window.LblCurrent->text(), QStringLiteral("Loading Models & Textures"));
    window.SetPartText("R&&D & more");
    EXPECT_EQ(window.LblPart->text(), QStringLiteral("R&D & more"));
}

TEST(TFormLoading, OtherEventsRunOnlyWhileProcessingIsOn)
{
    TFormLoading window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    int ran = 0;
    QTimer::singleShot(0, &window, [&ran] { ++ran; });

    window.SetProcessEvents(false);
    window.StepPart();
    window.SetPartText("one");
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(window.PartProgress->value(), 1);

    window.SetProcessEvents(true);
    window.SetCurrentText("two");
    EXPECT_EQ(ran, 1);
}

TEST(TFormLoading, StepsWithinAStageAreShownAtMostEveryFewMilliseconds)
{
    TFormLoading window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QElapsedTimer burst;
    burst.start();
    window.SetCurrentText("stage");
    int ran = 0;
    QTimer::singleShot(0, &window, [&ran] { ++ran; });
    for (int step = 0; step < 100; ++step)
        window.StepPart();
    EXPECT_EQ(window.PartProgress->value(), 100) << "every step counts";
    // (A machine that stalled past the interval during the burst has shown one step.)
    if (burst.elapsed() < 25) {
        EXPECT_EQ(ran, 0) << "a burst of steps right after a shown change waits";
    }
    QTest::qSleep(40);
    window.StepPart();
    EXPECT_EQ(ran, 1);
    // A new stage is shown at once, however soon it comes.
    QTimer::singleShot(0, &window, [&ran] { ++ran; });
    window.StepOverall();
    EXPECT_EQ(ran, 2);
}

TEST(TFormLoading, TheProgramWideWindowIsForgottenWhenItGoes)
{
    EXPECT_EQ(loadingWindow(), nullptr);
    auto window = std::make_unique<TFormLoading>();
    setLoadingWindow(window.get());
    EXPECT_EQ(loadingWindow(), window.get());
    window.reset();
    EXPECT_EQ(loadingWindow(), nullptr);
    setLoadingWindow(nullptr);
}
