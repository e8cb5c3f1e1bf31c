#pragma once
// The install flow's order of things, free of windows and threads: events in, effects out.
//
// Only the UI thread feeds it. Worker threads (the download preparation, each download run and
// the installer) never touch the window: they post their events, each stamped with the run
// number of the effect that started them, and the window hands them to Handle in arrival order.
// An event of an earlier run is dropped. Questions (message boxes and dialogs) are effects too:
// while one is open, the events its nested message loop delivers are held and handled in order
// after its answer.

#include <deque>
#include <string>
#include <variant>
#include <vector>

namespace setupflow {

// The setup window's states.
enum WindowState : int {
  kWindow_None = -1,
  kWindow_Init = 0,
  kWindow_Downloading = 1,
  kWindow_Installing = 2,
  kWindow_Finish = 3,
};

// The first parameter of a close request that closes without a question.
inline constexpr int kCloseNoPrompt = 1000;

// What the flow asks, and the answers it understands (Answered::value).
enum class Question {
  kNone,
  kStop,                  // the stop dialog: 1 Yes, 0 No
  kQuitIdle,              // STR_CLOSE_TIP1, Yes/No: 1 Yes, 0 No
  kQuitBusy,              // STR_CLOSE_TIP2, Yes/No: 1 Yes, 0 No
  kRoom,                  // the disk-space dialog: 1 a folder with room was chosen, 0 closed
  kDownloadFailed,        // Abort/Retry/Ignore: a FailureChoice
  kProductLookup,         // asked of the system, answered at once: is the product running? 1 yes, 0 no
  kProductRunning,        // the product-running prompt: 1 OK, 0 Cancel
  kInstallerStartFailed,  // STR_INSTALLER_START_FAILED, OK only
};

enum FailureChoice : int { kFailure_Abort = 0, kFailure_Retry = 1, kFailure_Ignore = 2 };

// Events from the user and the window's timer, handled at once. While a question is open they
// are dropped: the window it disables cannot be clicked, and the next timer tick reads the
// installer's progress again.
struct InstallAccepted {};  // Install clicked and the path passed its check
struct StopClicked {};
struct StartClicked {};
struct CloseRequested {};  // by the user: close button, Escape, Alt+F4, system menu
struct InstallerProgressRead {
  int percent;  // what the progress file holds; no event when it could not be read
};
struct Answered {
  Question question;
  int value;
};

// Posted events, held while a question is open.
struct CloseWithoutPrompt {};  // a close request with kCloseNoPrompt
struct PreparationNeedsRoom {
  int run;
};
struct PreparationFailed {  // the free-space query failed
  int run;
};
struct PreparationReady {
  int run;
};
struct DownloadProgress {
  int run;
  int percent;
};
struct DownloadEnded {
  int run;
  int result;  // the download wrapper's result
};
struct InstallerCouldNotStart {
  int run;
};
struct InstallerEnded {  // the installer ran; "Installed_Succeed" has been reported
  int run;
};
struct FinishPauseOver {
  int run;
};

using Event = std::variant<InstallAccepted, StopClicked, StartClicked, CloseRequested, InstallerProgressRead,
                           Answered, CloseWithoutPrompt, PreparationNeedsRoom, PreparationFailed, PreparationReady,
                           DownloadProgress, DownloadEnded, InstallerCouldNotStart, InstallerEnded, FinishPauseOver>;

enum class EffectKind {
  kStartPreparation,        // value: run. The preparation on a worker thread.
  kReportStartInstall,      // "Downloader_Start_Install" from a worker thread
  kSwitchState,             // value: WindowState. Page and controls of the state, logged.
  kSetProgress,             // value: the bar's percent
  kResumePreparation,       // the waiting preparation goes on with the folder the dialog chose
  kStartDownloadRun,        // value: run. A download thread for the address and the work file.
  kCancelDownload,
  kAsk,                     // value: Question. Always the last effect of its list.
  kEnableStop,              // value: 1 enabled, 0 disabled
  kAnnounceDownloadSuccess,  // logs the download's success and reports "Downloader_Installed"
  kEndRunningProduct,
  kStartInstaller,          // value: run. Product folder, domain file, installer thread, progress timer.
  kStopInstallTimer,
  kShowFinishedPage,        // the finished page, timers stopped, taskbar full, window shown
  kOpenInstalledPage,       // taskbar progress cleared, the installed page in the browser
  kStartProduct,
  kOpenDownloadInBrowser,
  kCleanupTempFiles,
  kMarkQuitting,            // workers see it and post nothing more
  kPostClose,               // a close request with kCloseNoPrompt
  kCloseWindow,             // the window closes now
  kExitProcess,             // value: exit code; at once
};

struct Effect {
  EffectKind kind;
  int value = 0;
  friend bool operator==(const Effect&, const Effect&) = default;
};

std::string Describe(const Effect& effect);

class InstallFlow {
 public:
  // Where the flow stands, beyond the window's state.
  enum class Phase {
    kIdle,         // first page
    kPreparing,    // the preparation runs; no download yet
    kStalled,      // the free-space query failed: no download will start
    kDownloading,  // a download run was started
    kInstalling,   // the download is complete; the installer is started or running
    kFinishing,    // the installer ended; the finished page waits for the product's start
    kQuitting,     // the setup is ending: only the closing request is still handled
  };

  explicit InstallFlow(int downloadRatio) : downloadRatio_(downloadRatio) {}

  std::vector<Effect> Handle(const Event& event);

  Phase phase() const { return phase_; }
  Question openQuestion() const { return question_; }
  int run() const { return run_; }

 private:
  void Dispatch(const Event& event, std::vector<Effect>& out);
  void Answer(const Answered& answer, std::vector<Effect>& out);
  void DeliverHeld(std::vector<Effect>& out);

  void OnInstallAccepted(std::vector<Effect>& out);
  void OnStopOrClose(Question question, std::vector<Effect>& out);
  void OnDownloadEnded(int result, std::vector<Effect>& out);
  void OnProductLookup(bool running, std::vector<Effect>& out);
  void StartInstaller(std::vector<Effect>& out);
  void FinishAndStartProduct(std::vector<Effect>& out);
  void BackToFirstPage(std::vector<Effect>& out);

  void Ask(Question question, std::vector<Effect>& out);
  // The effect that starts a worker, with the worker's new run number.
  void StartRun(EffectKind kind, std::vector<Effect>& out);
  void SwitchState(WindowState state, std::vector<Effect>& out);
  void Quit(std::vector<Effect>& out);
  // Whether a posted event belongs to the worker started last.
  bool IsCurrent(int run, const char* what) const;

  const int downloadRatio_;
  Phase phase_ = Phase::kIdle;
  WindowState windowState_ = kWindow_Init;
  Question question_ = Question::kNone;
  int run_ = 0;
  // A download run was started and its end has not arrived yet.
  bool downloadGoing_ = false;
  // A stop or quit question cancelled the download run: its end event resumes it.
  bool cancelledForQuestion_ = false;
  std::deque<Event> held_;
};

}  // namespace setupflow
