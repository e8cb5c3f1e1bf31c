#include "Window/flow/InstallFlow.h"

#include <iterator>
#include <string>
#include <type_traits>

#include "Window/flow/ProgressDisplay.h"
#include "download/HttpDownload.h"
#include "log/Logger.h"

namespace setupflow {

namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};

// Events a worker or the flow itself posted: they wait while a question is open. Workers stamp
// theirs with their run; the user's and the window's own events carry none.
template <typename T>
constexpr bool kPosted = std::is_same_v<T, CloseWithoutPrompt> || requires(const T& e) { e.run; };

bool IsPosted(const Event& event) {
  return std::visit([](const auto& e) { return kPosted<std::decay_t<decltype(e)>>; }, event);
}

const char* const kEffectNames[] = {
    "StartPreparation", "ReportStartInstall", "SwitchState",       "SetProgress",        "ResumePreparation",
    "StartDownloadRun", "CancelDownload",     "Ask",               "EnableStop",         "AnnounceDownloadSuccess",
    "EndRunningProduct", "StartInstaller",    "StopInstallTimer",  "ShowFinishedPage",   "OpenInstalledPage",
    "StartProduct",     "OpenDownloadInBrowser", "CleanupTempFiles", "MarkQuitting",     "PostClose",
    "CloseWindow",      "ExitProcess",
};
static_assert(std::size(kEffectNames) == static_cast<std::size_t>(EffectKind::kExitProcess) + 1);

}  // namespace

std::string Describe(const Effect& effect) {
  return std::string(kEffectNames[static_cast<int>(effect.kind)]) + "(" + std::to_string(effect.value) + ")";
}

std::vector<Effect> InstallFlow::Handle(const Event& event) {
  std::vector<Effect> out;
  if (question_ == Question::kNone) {
    Dispatch(event, out);
  } else if (const auto* answer = std::get_if<Answered>(&event); answer && answer->question == question_) {
    question_ = Question::kNone;
    Answer(*answer, out);
  } else if (IsPosted(event)) {
    held_.push_back(event);
    return out;
  } else {
    LOG_INFO("flow: event %d dropped while question %d is open", static_cast<int>(event.index()),
             static_cast<int>(question_));
    return out;
  }
  DeliverHeld(out);
  return out;
}

void InstallFlow::DeliverHeld(std::vector<Effect>& out) {
  while (question_ == Question::kNone && !held_.empty()) {
    const Event event = held_.front();
    held_.pop_front();
    Dispatch(event, out);
  }
}

void InstallFlow::Dispatch(const Event& event, std::vector<Effect>& out) {
  if (phase_ == Phase::kQuitting) {
    if (std::holds_alternative<CloseWithoutPrompt>(event)) {
      out.push_back({EffectKind::kCleanupTempFiles});
      out.push_back({EffectKind::kCloseWindow});
    }
    return;
  }
  const auto in = [this](Phase phase) { return phase_ == phase; };
  const auto busy = [this] {
    return phase_ == Phase::kPreparing || phase_ == Phase::kStalled || phase_ == Phase::kDownloading;
  };
  std::visit(
      Overloaded{
          [&](const InstallAccepted&) {
            if (in(Phase::kIdle)) OnInstallAccepted(out);
          },
          [&](const StopClicked&) {
            if (busy()) OnStopOrClose(Question::kStop, out);
          },
          [&](const StartClicked&) {
            if (in(Phase::kFinishing)) FinishAndStartProduct(out);
          },
          [&](const CloseRequested&) {
            if (in(Phase::kIdle)) {
              Ask(Question::kQuitIdle, out);
            } else if (busy()) {
              OnStopOrClose(Question::kQuitBusy, out);
            } else if (in(Phase::kInstalling)) {
              // The installer is not stopped before the answer; only Yes ends it.
              Ask(Question::kQuitBusy, out);
            } else if (in(Phase::kFinishing)) {
              phase_ = Phase::kQuitting;
              out.push_back({EffectKind::kMarkQuitting});
              out.push_back({EffectKind::kCleanupTempFiles});
              out.push_back({EffectKind::kCloseWindow});
            }
          },
          [&](const InstallerProgressRead& e) {
            if (in(Phase::kInstalling)) {
              out.push_back({EffectKind::kSetProgress, InstallerBarPercent(e.percent, downloadRatio_)});
            }
          },
          [&](const Answered& e) {
            LOG_INFO("flow: answer to question %d dropped: no question is open", static_cast<int>(e.question));
          },
          [&](const CloseWithoutPrompt&) {
            phase_ = Phase::kQuitting;
            out.push_back({EffectKind::kMarkQuitting});
            out.push_back({EffectKind::kCleanupTempFiles});
            out.push_back({EffectKind::kCloseWindow});
          },
          [&](const PreparationNeedsRoom& e) {
            if (IsCurrent(e.run, "PreparationNeedsRoom") && in(Phase::kPreparing)) Ask(Question::kRoom, out);
          },
          [&](const PreparationFailed& e) {
            if (IsCurrent(e.run, "PreparationFailed") && in(Phase::kPreparing)) phase_ = Phase::kStalled;
          },
          [&](const PreparationReady& e) {
            if (IsCurrent(e.run, "PreparationReady") && in(Phase::kPreparing)) {
              phase_ = Phase::kDownloading;
              StartRun(EffectKind::kStartDownloadRun, out);
              downloadGoing_ = true;
            }
          },
          [&](const DownloadProgress& e) {
            if (IsCurrent(e.run, "DownloadProgress") && in(Phase::kDownloading) && downloadGoing_) {
              out.push_back({EffectKind::kSetProgress, DownloadBarPercent(e.percent, downloadRatio_)});
            }
          },
          [&](const DownloadEnded& e) {
            if (IsCurrent(e.run, "DownloadEnded") && in(Phase::kDownloading) && downloadGoing_) {
              downloadGoing_ = false;
              OnDownloadEnded(e.result, out);
            }
          },
          [&](const InstallerCouldNotStart& e) {
            if (IsCurrent(e.run, "InstallerCouldNotStart") && in(Phase::kInstalling)) {
              Ask(Question::kInstallerStartFailed, out);
            }
          },
          [&](const InstallerEnded& e) {
            if (IsCurrent(e.run, "InstallerEnded") && in(Phase::kInstalling)) {
              phase_ = Phase::kFinishing;
              SwitchState(kWindow_Finish, out);
              out.push_back({EffectKind::kShowFinishedPage});
              out.push_back({EffectKind::kCleanupTempFiles});
            }
          },
          [&](const FinishPauseOver& e) {
            if (IsCurrent(e.run, "FinishPauseOver") && in(Phase::kFinishing)) FinishAndStartProduct(out);
          },
      },
      event);
}

void InstallFlow::Answer(const Answered& answer, std::vector<Effect>& out) {
  const bool yes = answer.value != 0;
  switch (answer.question) {
    case Question::kStop:
      if (!yes) return;  // a cancelled run resumes when its end arrives
      Quit(out);
      out.push_back({EffectKind::kCleanupTempFiles});
      out.push_back({EffectKind::kExitProcess, 0});
      return;
    case Question::kQuitIdle:
    case Question::kQuitBusy:
      if (!yes) return;
      Quit(out);
      out.push_back({EffectKind::kCleanupTempFiles});
      return;
    case Question::kRoom:
      if (yes) {
        out.push_back({EffectKind::kResumePreparation});
        return;
      }
      phase_ = Phase::kQuitting;
      out.push_back({EffectKind::kMarkQuitting});
      out.push_back({EffectKind::kExitProcess, 0});
      return;
    case Question::kDownloadFailed:
      if (answer.value == kFailure_Retry) {
        out.push_back({EffectKind::kCleanupTempFiles});
        out.push_back({EffectKind::kCancelDownload});
        StartRun(EffectKind::kStartDownloadRun, out);
        downloadGoing_ = true;
      } else if (answer.value == kFailure_Ignore) {
        out.push_back({EffectKind::kOpenDownloadInBrowser});
        out.push_back({EffectKind::kCleanupTempFiles});
        BackToFirstPage(out);
      } else {
        Quit(out);
      }
      return;
    case Question::kProductLookup:
      if (yes) {
        Ask(Question::kProductRunning, out);
      } else {
        StartInstaller(out);
      }
      return;
    case Question::kProductRunning:
      if (!yes) {
        Quit(out);
        return;
      }
      out.push_back({EffectKind::kEndRunningProduct});
      StartInstaller(out);
      return;
    case Question::kInstallerStartFailed:
      out.push_back({EffectKind::kStopInstallTimer});
      out.push_back({EffectKind::kCleanupTempFiles});
      BackToFirstPage(out);
      out.push_back({EffectKind::kEnableStop, 1});
      return;
    case Question::kNone:
      return;
  }
}

void InstallFlow::OnInstallAccepted(std::vector<Effect>& out) {
  phase_ = Phase::kPreparing;
  StartRun(EffectKind::kStartPreparation, out);
  out.push_back({EffectKind::kReportStartInstall});
  SwitchState(kWindow_Downloading, out);
  out.push_back({EffectKind::kSetProgress, 0});
}

void InstallFlow::OnStopOrClose(Question question, std::vector<Effect>& out) {
  // Only a run that is going is cancelled; while the preparation runs there is none, and the
  // preparation's "ready" starts the one run after a No.
  if (downloadGoing_) {
    out.push_back({EffectKind::kCancelDownload});
    cancelledForQuestion_ = true;
  }
  Ask(question, out);
}

void InstallFlow::OnDownloadEnded(int result, std::vector<Effect>& out) {
  const bool cancelledForQuestion = cancelledForQuestion_;
  cancelledForQuestion_ = false;
  switch (result) {
    case kDownloadResult_Complete:
      phase_ = Phase::kInstalling;
      out.push_back({EffectKind::kEnableStop, 0});
      out.push_back({EffectKind::kAnnounceDownloadSuccess});
      SwitchState(kWindow_Installing, out);
      Ask(Question::kProductLookup, out);
      return;
    case kDownloadResult_Failed:
    case -3:
      Ask(Question::kDownloadFailed, out);
      return;
    case kDownloadResult_Stopped:
    case -1:
      Quit(out);
      return;
    default:
      // The question that cancelled this run was answered No: the run resumes.
      if (cancelledForQuestion) {
        StartRun(EffectKind::kStartDownloadRun, out);
        downloadGoing_ = true;
      }
      return;
  }
}

void InstallFlow::StartInstaller(std::vector<Effect>& out) {
  StartRun(EffectKind::kStartInstaller, out);
  out.push_back({EffectKind::kSetProgress, downloadRatio_});
}

void InstallFlow::FinishAndStartProduct(std::vector<Effect>& out) {
  out.push_back({EffectKind::kOpenInstalledPage});
  out.push_back({EffectKind::kStartProduct});
  Quit(out);
}

void InstallFlow::BackToFirstPage(std::vector<Effect>& out) {
  phase_ = Phase::kIdle;
  out.push_back({EffectKind::kSetProgress, 0});
  SwitchState(kWindow_Init, out);
}

void InstallFlow::Ask(Question question, std::vector<Effect>& out) {
  question_ = question;
  out.push_back({EffectKind::kAsk, static_cast<int>(question)});
}

void InstallFlow::StartRun(EffectKind kind, std::vector<Effect>& out) { out.push_back({kind, ++run_}); }

void InstallFlow::SwitchState(WindowState state, std::vector<Effect>& out) {
  if (state == windowState_) return;
  windowState_ = state;
  out.push_back({EffectKind::kSwitchState, state});
}

void InstallFlow::Quit(std::vector<Effect>& out) {
  phase_ = Phase::kQuitting;
  out.push_back({EffectKind::kMarkQuitting});
  out.push_back({EffectKind::kPostClose});
}

bool InstallFlow::IsCurrent(int run, const char* what) const {
  if (run == run_) return true;
  LOG_INFO("flow: %s of run %d dropped: the current run is %d", what, run, run_);
  return false;
}

}  // namespace setupflow
