// The install flow's orderings: what each event leads to, which events wait while a question is
// open, which runs their events belong to, and the installer thread's silence once the setup quits.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <ostream>
#include <vector>

#include "Window/flow/InstallFlow.h"
#include "Window/flow/InstallerWorker.h"
#include "Window/flow/ProgressDisplay.h"
#include "common/Encoding.h"
#include "installer/InstallerProgress.h"
#include "tests/support/TestFiles.h"

namespace setupflow {

void PrintTo(const Effect& effect, std::ostream* os) { *os << Describe(effect); }

}  // namespace setupflow

namespace {

using namespace setupflow;
using Effects = std::vector<Effect>;
using K = EffectKind;

Effect AskFor(Question question) { return {K::kAsk, static_cast<int>(question)}; }

constexpr int kRatio = 90;
// Run numbers as the flow hands them out on the main road.
constexpr int kPreparationRun = 1;
constexpr int kFirstDownloadRun = 2;

const Effects kQuit = {{K::kMarkQuitting}, {K::kPostClose}};
const Effects kSuccess = {
    {K::kEnableStop, 0}, {K::kAnnounceDownloadSuccess}, {K::kSwitchState, kWindow_Installing},
    AskFor(Question::kProductLookup)};

class Flow : public ::testing::Test {
 protected:
  Effects Feed(const Event& event) { return flow_.Handle(event); }

  // Install clicked and accepted, the preparation ready: the first run downloads.
  void Download() {
    Feed(InstallAccepted{});
    ASSERT_EQ(Feed(PreparationReady{kPreparationRun}), (Effects{{K::kStartDownloadRun, kFirstDownloadRun}}));
  }

  // The download complete, no product running: the installer of run 3 runs.
  void Install() {
    Download();
    ASSERT_EQ(Feed(DownloadEnded{kFirstDownloadRun, 0}), kSuccess);
    ASSERT_EQ(Feed(Answered{Question::kProductLookup, 0}),
              (Effects{{K::kStartInstaller, kFirstDownloadRun + 1}, {K::kSetProgress, kRatio}}));
  }

  static int Count(const Effects& effects, K kind) {
    int count = 0;
    for (const Effect& effect : effects) count += effect.kind == kind;
    return count;
  }

  InstallFlow flow_{kRatio};
};

TEST_F(Flow, MainRoadFromInstallToTheProductStart) {
  EXPECT_EQ(Feed(InstallAccepted{}), (Effects{{K::kStartPreparation, kPreparationRun},
                                              {K::kReportStartInstall},
                                              {K::kSwitchState, kWindow_Downloading},
                                              {K::kSetProgress, 0}}));
  EXPECT_EQ(Feed(PreparationReady{kPreparationRun}), (Effects{{K::kStartDownloadRun, kFirstDownloadRun}}));
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 50}), (Effects{{K::kSetProgress, 45}}));
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 100}), (Effects{{K::kSetProgress, 90}}));
  EXPECT_EQ(Feed(DownloadEnded{kFirstDownloadRun, 0}), kSuccess);
  EXPECT_EQ(Feed(Answered{Question::kProductLookup, 0}), (Effects{{K::kStartInstaller, 3}, {K::kSetProgress, 90}}));
  EXPECT_EQ(Feed(InstallerProgressRead{37}), (Effects{{K::kSetProgress, 93}}));
  EXPECT_EQ(Feed(InstallerEnded{3}),
            (Effects{{K::kSwitchState, kWindow_Finish}, {K::kShowFinishedPage}, {K::kCleanupTempFiles}}));
  EXPECT_EQ(Feed(FinishPauseOver{3}),
            (Effects{{K::kOpenInstalledPage}, {K::kStartProduct}, {K::kMarkQuitting}, {K::kPostClose}}));
  EXPECT_EQ(Feed(CloseWithoutPrompt{}), (Effects{{K::kCleanupTempFiles}, {K::kCloseWindow}}));
  EXPECT_EQ(flow_.phase(), InstallFlow::Phase::kQuitting);
}

// A progress report that arrives after the run's end, or from an earlier run, never moves the
// bar back.
TEST_F(Flow, ProgressAfterSuccessOrFromAnEarlierRunIsDropped) {
  Download();
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 99}), (Effects{{K::kSetProgress, 89}}));
  EXPECT_EQ(Feed(DownloadEnded{kFirstDownloadRun, 0}), kSuccess);
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 50}), Effects{});
  EXPECT_EQ(Feed(Answered{Question::kProductLookup, 0}), (Effects{{K::kStartInstaller, 3}, {K::kSetProgress, 90}}));
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 50}), Effects{});
  EXPECT_EQ(Feed(DownloadEnded{kFirstDownloadRun, -4}), Effects{});

  // Retry starts run 3; the failed run 2 has nothing more to say.
  InstallFlow retried{kRatio};
  retried.Handle(InstallAccepted{});
  retried.Handle(PreparationReady{kPreparationRun});
  ASSERT_EQ(retried.Handle(DownloadEnded{kFirstDownloadRun, -4}), (Effects{AskFor(Question::kDownloadFailed)}));
  ASSERT_EQ(retried.Handle(Answered{Question::kDownloadFailed, kFailure_Retry}),
            (Effects{{K::kCleanupTempFiles}, {K::kCancelDownload}, {K::kStartDownloadRun, 3}}));
  EXPECT_EQ(retried.Handle(DownloadProgress{kFirstDownloadRun, 70}), Effects{});
  EXPECT_EQ(retried.Handle(DownloadEnded{kFirstDownloadRun, 0}), Effects{});
  EXPECT_EQ(retried.Handle(DownloadProgress{3, 10}), (Effects{{K::kSetProgress, 9}}));
}

// While the preparation runs there is no run to cancel: a No starts nothing, and "ready" starts
// the one run, whether it came before or after the answer.
TEST_F(Flow, NoBeforeReadyStartsExactlyOneRun) {
  for (const bool readyDuringQuestion : {false, true}) {
    SCOPED_TRACE(readyDuringQuestion ? "ready while the question is open" : "ready after the answer");
    InstallFlow flow{kRatio};
    Effects all = flow.Handle(InstallAccepted{});
    EXPECT_EQ(flow.Handle(StopClicked{}), (Effects{AskFor(Question::kStop)}));
    if (readyDuringQuestion) {
      EXPECT_EQ(flow.Handle(PreparationReady{kPreparationRun}), Effects{});
    }
    const Effects answered = flow.Handle(Answered{Question::kStop, 0});
    all.insert(all.end(), answered.begin(), answered.end());
    if (!readyDuringQuestion) {
      EXPECT_EQ(answered, Effects{});
      const Effects ready = flow.Handle(PreparationReady{kPreparationRun});
      all.insert(all.end(), ready.begin(), ready.end());
    }
    EXPECT_EQ(Count(all, K::kStartDownloadRun), 1);
    EXPECT_EQ(Count(all, K::kCancelDownload), 0);
    EXPECT_EQ(flow.phase(), InstallFlow::Phase::kDownloading);
  }
}

// Stop and close cancel the run, then ask. A No resumes only the run they cancelled, once its end
// arrives, and by how it ended: cancelled, a new run; complete, the success path; failed, the
// failure prompt. The end may arrive while the question is open or after the answer.
TEST_F(Flow, NoAfterACancelResumesByHowTheCancelledRunEnded) {
  const struct {
    int result;
    Effects resumed;
  } ends[] = {
      {-5, {{K::kStartDownloadRun, 3}}},
      {0, kSuccess},
      {-4, {AskFor(Question::kDownloadFailed)}},
  };
  for (const auto& end : ends) {
    for (const bool stop : {true, false}) {
      for (const bool endDuringQuestion : {true, false}) {
        SCOPED_TRACE(::testing::Message() << "result " << end.result << (stop ? ", Stop" : ", close")
                                          << (endDuringQuestion ? ", end while asking" : ", end after No"));
        InstallFlow flow{kRatio};
        flow.Handle(InstallAccepted{});
        flow.Handle(PreparationReady{kPreparationRun});
        const Question question = stop ? Question::kStop : Question::kQuitBusy;
        EXPECT_EQ(flow.Handle(stop ? Event{StopClicked{}} : Event{CloseRequested{}}),
                  (Effects{{K::kCancelDownload}, AskFor(question)}));
        Effects afterNo;
        if (endDuringQuestion) {
          EXPECT_EQ(flow.Handle(DownloadEnded{kFirstDownloadRun, end.result}), Effects{});
          afterNo = flow.Handle(Answered{question, 0});
        } else {
          EXPECT_EQ(flow.Handle(Answered{question, 0}), Effects{});
          afterNo = flow.Handle(DownloadEnded{kFirstDownloadRun, end.result});
        }
        EXPECT_EQ(afterNo, end.resumed);
        // The run's end is used once: a second report of it changes nothing.
        if (flow.openQuestion() == Question::kNone) {
          EXPECT_EQ(flow.Handle(DownloadEnded{kFirstDownloadRun, end.result}), Effects{});
        }
      }
    }
  }
}

// The nested loop of a question delivers posted events; they wait and come in their order after
// the answer, until one of them asks again.
TEST_F(Flow, EventsHeldDuringAQuestionComeInOrderAfterIt) {
  Download();
  ASSERT_EQ(Feed(CloseRequested{}), (Effects{{K::kCancelDownload}, AskFor(Question::kQuitBusy)}));
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 10}), Effects{});
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 20}), Effects{});
  EXPECT_EQ(Feed(DownloadEnded{kFirstDownloadRun, -4}), Effects{});
  // A second close while the question is open asks nothing more.
  EXPECT_EQ(Feed(CloseRequested{}), Effects{});
  EXPECT_EQ(Feed(StopClicked{}), Effects{});
  EXPECT_EQ(Feed(Answered{Question::kQuitBusy, 0}),
            (Effects{{K::kSetProgress, 9}, {K::kSetProgress, 18}, AskFor(Question::kDownloadFailed)}));
  EXPECT_EQ(Feed(Answered{Question::kDownloadFailed, kFailure_Retry}),
            (Effects{{K::kCleanupTempFiles}, {K::kCancelDownload}, {K::kStartDownloadRun, 3}}));
  EXPECT_EQ(Feed(DownloadProgress{kFirstDownloadRun, 60}), Effects{});
  EXPECT_EQ(Feed(DownloadProgress{3, 40}), (Effects{{K::kSetProgress, 36}}));
}

TEST_F(Flow, YesEndsTheSetupAndDropsWhatWasHeld) {
  const struct {
    const char* what;
    Event request;
    Question question;
    Effects yes;
  } cases[] = {
      {"Stop", StopClicked{}, Question::kStop,
       {{K::kMarkQuitting}, {K::kPostClose}, {K::kCleanupTempFiles}, {K::kExitProcess, 0}}},
      {"close", CloseRequested{}, Question::kQuitBusy, {{K::kMarkQuitting}, {K::kPostClose}, {K::kCleanupTempFiles}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    InstallFlow flow{kRatio};
    flow.Handle(InstallAccepted{});
    flow.Handle(PreparationReady{kPreparationRun});
    EXPECT_EQ(flow.Handle(c.request), (Effects{{K::kCancelDownload}, AskFor(c.question)}));
    flow.Handle(DownloadEnded{kFirstDownloadRun, -5});
    EXPECT_EQ(flow.Handle(Answered{c.question, 1}), c.yes);
    EXPECT_EQ(flow.Handle(DownloadEnded{kFirstDownloadRun, 0}), Effects{});
    EXPECT_EQ(flow.Handle(CloseRequested{}), Effects{});
    EXPECT_EQ(flow.Handle(CloseWithoutPrompt{}), (Effects{{K::kCleanupTempFiles}, {K::kCloseWindow}}));
  }
}

// Closing asks per page: the first page and the progress page with their texts, no question once
// the installation has finished.
TEST_F(Flow, CloseAsksPerPhase) {
  EXPECT_EQ(Feed(StopClicked{}), Effects{});  // no Stop on the first page
  EXPECT_EQ(Feed(CloseRequested{}), (Effects{AskFor(Question::kQuitIdle)}));
  EXPECT_EQ(Feed(Answered{Question::kQuitIdle, 0}), Effects{});
  EXPECT_EQ(flow_.phase(), InstallFlow::Phase::kIdle);

  Install();
  EXPECT_EQ(Feed(StopClicked{}), Effects{});  // Stop is disabled while installing
  EXPECT_EQ(Feed(CloseRequested{}), (Effects{AskFor(Question::kQuitBusy)}));
  EXPECT_EQ(Feed(Answered{Question::kQuitBusy, 0}), Effects{});
  EXPECT_EQ(Feed(InstallerEnded{3}),
            (Effects{{K::kSwitchState, kWindow_Finish}, {K::kShowFinishedPage}, {K::kCleanupTempFiles}}));
  EXPECT_EQ(Feed(CloseRequested{}), (Effects{{K::kMarkQuitting}, {K::kCleanupTempFiles}, {K::kCloseWindow}}));
  EXPECT_EQ(Feed(FinishPauseOver{3}), Effects{});
}

// Start on the finished page does at once what the pause would have led to, and only once.
TEST_F(Flow, StartSkipsTheFinishPauseAndStartsTheProductOnce) {
  EXPECT_EQ(Feed(StartClicked{}), Effects{});  // hidden before the installation has finished
  Install();
  EXPECT_EQ(Feed(StartClicked{}), Effects{});
  Feed(InstallerEnded{3});
  EXPECT_EQ(Feed(StartClicked{}),
            (Effects{{K::kOpenInstalledPage}, {K::kStartProduct}, {K::kMarkQuitting}, {K::kPostClose}}));
  EXPECT_EQ(Feed(FinishPauseOver{3}), Effects{});
  EXPECT_EQ(Feed(StartClicked{}), Effects{});
}

// No lets the installation finish: its two events, held meanwhile, come in order.
TEST_F(Flow, NoDuringInstallationLetsItFinish) {
  Install();
  EXPECT_EQ(Feed(CloseRequested{}), (Effects{AskFor(Question::kQuitBusy)}));
  EXPECT_EQ(Feed(InstallerEnded{3}), Effects{});
  EXPECT_EQ(Feed(FinishPauseOver{3}), Effects{});
  EXPECT_EQ(Feed(Answered{Question::kQuitBusy, 0}),
            (Effects{{K::kSwitchState, kWindow_Finish},
                     {K::kShowFinishedPage},
                     {K::kCleanupTempFiles},
                     {K::kOpenInstalledPage},
                     {K::kStartProduct},
                     {K::kMarkQuitting},
                     {K::kPostClose}}));
}

// Quitting during the installation: nothing of the installer's end reaches the window, and the
// installer thread itself reports and posts nothing once it sees the flag.
TEST_F(Flow, QuitDuringInstallationFinishesNothing) {
  Install();
  EXPECT_EQ(Feed(CloseRequested{}), (Effects{AskFor(Question::kQuitBusy)}));
  EXPECT_EQ(Feed(Answered{Question::kQuitBusy, 1}), (Effects{{K::kMarkQuitting}, {K::kPostClose}, {K::kCleanupTempFiles}}));
  EXPECT_EQ(Feed(InstallerEnded{3}), Effects{});
  EXPECT_EQ(Feed(FinishPauseOver{3}), Effects{});
  EXPECT_EQ(Feed(InstallerProgressRead{50}), Effects{});
}

TEST(InstallerWorker, ReportsAndPostsNothingOnceTheSetupQuits) {
  enum class QuitAt { kNever, kDuringInstaller, kDuringReport, kDuringPause };
  const struct {
    const char* what;
    bool started;
    QuitAt quitAt;
    int reports;
    std::vector<std::size_t> posted;  // variant indexes
  } cases[] = {
      {"installed", true, QuitAt::kNever, 1, {Event(InstallerEnded{}).index(), Event(FinishPauseOver{}).index()}},
      {"could not start", false, QuitAt::kNever, 0, {Event(InstallerCouldNotStart{}).index()}},
      {"quit while installing", true, QuitAt::kDuringInstaller, 0, {}},
      {"quit before starting failed", false, QuitAt::kDuringInstaller, 0, {}},
      {"quit while reporting", true, QuitAt::kDuringReport, 1, {}},
      {"quit in the pause", true, QuitAt::kDuringPause, 1, {Event(InstallerEnded{}).index()}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::atomic<bool> quitting{false};
    int reports = 0;
    std::vector<std::size_t> posted;
    InstallerWorkerSteps steps;
    steps.runSilentInstaller = [&] {
      if (c.quitAt == QuitAt::kDuringInstaller) quitting = true;
      return c.started;
    };
    steps.reportInstalled = [&] {
      ++reports;
      if (c.quitAt == QuitAt::kDuringReport) quitting = true;
    };
    steps.post = [&](const Event& event) {
      posted.push_back(event.index());
      std::visit(
          [](const auto& e) {
            if constexpr (requires { e.run; }) {
              EXPECT_EQ(e.run, 7);
            }
          },
          event);
    };
    steps.pause = [&] {
      if (c.quitAt == QuitAt::kDuringPause) quitting = true;
    };
    RunInstallerWorker(7, quitting, steps);
    EXPECT_EQ(reports, c.reports);
    EXPECT_EQ(posted, c.posted);
  }
}

TEST_F(Flow, InstallerThatCannotStartLeadsBackToTheFirstPage) {
  Install();
  EXPECT_EQ(Feed(InstallerCouldNotStart{3}), (Effects{AskFor(Question::kInstallerStartFailed)}));
  EXPECT_EQ(Feed(Answered{Question::kInstallerStartFailed, 1}),
            (Effects{{K::kStopInstallTimer},
                     {K::kCleanupTempFiles},
                     {K::kSetProgress, 0},
                     {K::kSwitchState, kWindow_Init},
                     {K::kEnableStop, 1}}));
  EXPECT_EQ(flow_.phase(), InstallFlow::Phase::kIdle);
  // Install works again, with runs of its own.
  EXPECT_EQ(Feed(InstallAccepted{}).front(), (Effect{K::kStartPreparation, 4}));
  EXPECT_EQ(Feed(PreparationReady{kPreparationRun}), Effects{});
  EXPECT_EQ(Feed(PreparationReady{4}), (Effects{{K::kStartDownloadRun, 5}}));
}

// A failed free-space query leaves the progress page without a run: no answer and no late
// "ready" starts one, and quitting still works.
TEST_F(Flow, FailedFreeSpaceQueryNeverStartsARun) {
  Effects all = Feed(InstallAccepted{});
  EXPECT_EQ(Feed(PreparationFailed{kPreparationRun}), Effects{});
  EXPECT_EQ(flow_.phase(), InstallFlow::Phase::kStalled);
  for (const Event& event : {Event{StopClicked{}}, Event{Answered{Question::kStop, 0}}, Event{PreparationReady{1}},
                             Event{CloseRequested{}}, Event{Answered{Question::kQuitBusy, 0}}}) {
    const Effects effects = Feed(event);
    all.insert(all.end(), effects.begin(), effects.end());
  }
  EXPECT_EQ(Count(all, K::kStartDownloadRun), 0);
  EXPECT_EQ(Count(all, K::kCancelDownload), 0);
  EXPECT_EQ(Feed(CloseRequested{}), (Effects{AskFor(Question::kQuitBusy)}));
  EXPECT_EQ(Feed(Answered{Question::kQuitBusy, 1}), (Effects{{K::kMarkQuitting}, {K::kPostClose}, {K::kCleanupTempFiles}}));
}

TEST_F(Flow, FailurePromptAnswers) {
  const struct {
    FailureChoice choice;
    Effects effects;
    InstallFlow::Phase phase;
  } cases[] = {
      {kFailure_Abort, kQuit, InstallFlow::Phase::kQuitting},
      {kFailure_Retry,
       {{K::kCleanupTempFiles}, {K::kCancelDownload}, {K::kStartDownloadRun, 3}},
       InstallFlow::Phase::kDownloading},
      {kFailure_Ignore,
       {{K::kOpenDownloadInBrowser}, {K::kCleanupTempFiles}, {K::kSetProgress, 0}, {K::kSwitchState, kWindow_Init}},
       InstallFlow::Phase::kIdle},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.choice);
    InstallFlow flow{kRatio};
    flow.Handle(InstallAccepted{});
    flow.Handle(PreparationReady{kPreparationRun});
    EXPECT_EQ(flow.Handle(DownloadEnded{kFirstDownloadRun, -3}), (Effects{AskFor(Question::kDownloadFailed)}));
    EXPECT_EQ(flow.Handle(Answered{Question::kDownloadFailed, c.choice}), c.effects);
    EXPECT_EQ(flow.phase(), c.phase);
  }
}

TEST_F(Flow, DownloadEndsWithoutQuestion) {
  const struct {
    int result;
    Effects effects;
  } cases[] = {
      {-2, kQuit},
      {-1, kQuit},
      {-5, {}},  // cancelled by the program itself: nothing changes on the window
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    InstallFlow flow{kRatio};
    flow.Handle(InstallAccepted{});
    flow.Handle(PreparationReady{kPreparationRun});
    EXPECT_EQ(flow.Handle(DownloadEnded{kFirstDownloadRun, c.result}), c.effects);
  }
}

TEST_F(Flow, DiskDialogAnswers) {
  Feed(InstallAccepted{});
  EXPECT_EQ(Feed(PreparationNeedsRoom{kPreparationRun}), (Effects{AskFor(Question::kRoom)}));
  EXPECT_EQ(Feed(Answered{Question::kRoom, 1}), (Effects{{K::kResumePreparation}}));
  EXPECT_EQ(Feed(PreparationReady{kPreparationRun}), (Effects{{K::kStartDownloadRun, kFirstDownloadRun}}));

  InstallFlow closed{kRatio};
  closed.Handle(InstallAccepted{});
  closed.Handle(PreparationNeedsRoom{kPreparationRun});
  EXPECT_EQ(closed.Handle(Answered{Question::kRoom, 0}), (Effects{{K::kMarkQuitting}, {K::kExitProcess, 0}}));
}

TEST_F(Flow, ProductRunningPromptAnswers) {
  for (const bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    InstallFlow flow{kRatio};
    flow.Handle(InstallAccepted{});
    flow.Handle(PreparationReady{kPreparationRun});
    flow.Handle(DownloadEnded{kFirstDownloadRun, 0});
    EXPECT_EQ(flow.Handle(Answered{Question::kProductLookup, 1}), (Effects{AskFor(Question::kProductRunning)}));
    EXPECT_EQ(flow.Handle(Answered{Question::kProductRunning, ok ? 1 : 0}),
              ok ? (Effects{{K::kEndRunningProduct}, {K::kStartInstaller, 3}, {K::kSetProgress, 90}}) : kQuit);
  }
}

// An answer to a question that is not open is not taken for the open one.
TEST_F(Flow, AnswerToAnotherQuestionIsDropped) {
  Download();
  Feed(StopClicked{});
  EXPECT_EQ(Feed(Answered{Question::kQuitBusy, 1}), Effects{});
  EXPECT_EQ(flow_.openQuestion(), Question::kStop);
  EXPECT_EQ(Feed(Answered{Question::kStop, 0}), Effects{});
  EXPECT_EQ(Feed(Answered{Question::kStop, 1}), Effects{});
  EXPECT_EQ(flow_.phase(), InstallFlow::Phase::kDownloading);
}

TEST(ProgressDisplay, DownloadAndInstallerFiguresOnTheBar) {
  EXPECT_EQ(DownloadBarPercent(50, 90), 45);
  EXPECT_EQ(DownloadBarPercent(99, 90), 89);
  EXPECT_EQ(DownloadBarPercent(100, 90), 90);
  const struct {
    int percent;
    bool rightToLeft;
    int bar;
    const wchar_t* label;
  } views[] = {{45, false, 45, L"45 %"}, {45, true, 55, L"45 %"}, {0, true, 100, L"0 %"}, {100, false, 100, L"100 %"}};
  for (const auto& v : views) {
    const ProgressView view = ViewOfProgress(v.percent, v.rightToLeft);
    EXPECT_EQ(view.barValue, v.bar) << v.percent << " " << v.rightToLeft;
    EXPECT_EQ(view.label, v.label);
    EXPECT_EQ(view.taskbarValue, v.percent);
  }
}

// The installer's progress file as the timer reads it: its figure onto 90-100, an empty file 90,
// a file that cannot be opened leaves the bar as it is.
TEST_F(Flow, InstallerProgressFileOnTheBar) {
  Install();
  testsupport::TempFolder folder(L"progress");
  const struct {
    const char* content;  // null: no file
    Effects effects;
  } cases[] = {{"37", {{K::kSetProgress, 93}}}, {"", {{K::kSetProgress, 90}}}, {"100", {{K::kSetProgress, 100}}},
               {nullptr, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content ? c.content : "no file");
    const std::wstring file = folder.path() + L"temp.progress";
    std::filesystem::remove(encoding::ToPath(file));
    if (c.content) testsupport::WriteFileBytes(file, c.content);
    Effects effects;
    int percent = -1;
    if (ReadInstallerProgressFile(file, percent)) effects = Feed(InstallerProgressRead{percent});
    EXPECT_EQ(effects, c.effects);
  }
}

}  // namespace
