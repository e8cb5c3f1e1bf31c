#include "Window/WinMessBox.h"

#include <shlobj.h>

#include <cwchar>
#include <utility>

#include "Window/FolderChooser.h"
#include "Window/SetupWindow.h"
#include "Window/flow/DialogRules.h"
#include "Window/flow/InstallPathCheck.h"
#include "common/PathText.h"
#include "installer/SystemInfo.h"
#include "log/Logger.h"
#include "skin_ui/EditUI.h"

namespace {

// The names the log gives the room check's lines.
constexpr char kSourceFile[] = "Window\\WinMessBox";
constexpr char kRoomCheck[] = "WinMessBox::IsSufficientDisk";

// Free room the installation needs, as a multiple of the installer's size.
constexpr int64_t kRoomFactor = 3;

}  // namespace

WinMessBox::WinMessBox(wchar_t (&pathBuffer)[MAX_PATH], std::wstring title, std::wstring chooserTitle,
                       int32_t sizeMB)
    : pathBuffer_(pathBuffer), title_(std::move(title)), chooserTitle_(std::move(chooserTitle)), sizeMB_(sizeMB) {}

WinMessBox::~WinMessBox() = default;

SkinUI::NativeWindow WinMessBox::Create(SkinUI::NativeWindow owner, const LanguageManager& language) {
  language_ = &language;
  return CreateSetupDialog(*this, owner);
}

const wchar_t* WinMessBox::GetSkinFileName() const {
  return language_ && language_->IsRightToLeft() ? L"WinMessageBox_rtl.xml" : L"WinMessageBox.xml";
}

void WinMessBox::OnSkinReady() {
  SetControlTexts(manager_, *language_,
                  {{L"label_path_msb", L"STR_INSTALL_PATH"},
                   {L"btn_install_msb", L"STR_INSTALL"},
                   {L"btn_browse_msb", L"STR_BROWSE"}});
  ProposeOtherDriveThan(pathBuffer_);
}

void WinMessBox::ProposeOtherDriveThan(const std::wstring& path) {
  const std::wstring drive = DriveOfPath(path);
  ShowMessageLine(DiskMessageLine(drive, title_));
  if (SkinUI::CControlUI* edit = manager_.FindControl(L"edit_path_msb"))
    edit->SetText(ProposeOtherDrive(drive, GetLogicalDrives()).c_str());
}

void WinMessBox::ShowMessageLine(const std::wstring& line) {
  SkinUI::CControlUI* label = manager_.FindControl(L"label_title");
  if (!label) return;
  const ShortenedLine shown = ShortenMessageLine(line);
  label->SetText(shown.text.c_str());
  if (shown.tooltip) label->SetToolTip(shown.tooltip->c_str());
}

bool WinMessBox::IsSufficientDisk(const std::wstring& path) const {
  const std::wstring drive = DriveOfPath(path);
  LogPrint(kRoomCheck, kSourceFile, __LINE__, kLog_Info, "get disk size begin");
  int32_t freeMB = 0;
  if (!GetDiskFreeMB(drive, freeMB)) {
    LogPrint(kRoomCheck, kSourceFile, __LINE__, kLog_Info, "OnClickInstall\xA3\xBAGetFreeSize Failed");
    return false;
  }
  return freeMB >= kRoomFactor * sizeMB_;
}

void WinMessBox::OnClick(SkinUI::UINotify& msg) {
  if (!msg.sender) return;
  const SkinUI::CUIString& name = msg.sender->GetName();
  if (name == L"btn_close_msb")
    Close(0);
  else if (name == L"btn_browse_msb")
    BrowseForFolder();
  else if (name == L"btn_install_msb")
    Install();
}

void WinMessBox::HandleDefaultKey(uintptr_t key) {
  if (key == VK_ESCAPE) Close(0);
}

void WinMessBox::Install() {
  SkinUI::CControlUI* edit = manager_.FindControl(L"edit_path_msb");
  if (!edit) return;
  const std::wstring typed = edit->GetText().GetData();
  const InstallPathCheck checked = CheckInstallPath(typed);
  if (!checked.accepted()) {
    // The typed text stays for the user to mend; the buffer keeps the path it had. The refusal
    // is shown whole: cut like the drive line, it would lose the word that matters.
    if (SkinUI::CControlUI* label = manager_.FindControl(L"label_title")) {
      const std::wstring refusal = language_->GetLangText(L"STR_PATH_INVALID");
      label->SetText(refusal.c_str());
      label->SetToolTip(refusal.c_str());
    }
    return;
  }
  if (!IsSufficientDisk(checked.path)) {
    LOG_INFOW(L"too little room for %d MB three times on %s", sizeMB_, checked.path.c_str());
    ProposeOtherDriveThan(checked.path);
    return;
  }
  // The check admitted at most kMaxInstallPathLength characters: the path and its terminator fit.
  static_assert(kMaxInstallPathLength < MAX_PATH);
  wcsncpy(pathBuffer_, checked.path.c_str(), MAX_PATH - 1);
  pathBuffer_[MAX_PATH - 1] = L'\0';
  LOG_INFOW(L"installation path accepted: %s", pathBuffer_);
  Close(1);
}

void WinMessBox::BrowseForFolder() {
  // Only folders of the file system give a path; the new style lets the user make one.
  const std::optional<std::wstring> folder =
      ChooseFolder(static_cast<HWND>(GetNativeWindow()), chooserTitle_, BIF_RETURNONLYFSDIRS);
  if (!folder) return;
  std::wstring path = *folder;
  if (path.empty() || !pathtext::IsSeparator(path.back())) path += L'\\';
  if (SkinUI::CControlUI* edit = manager_.FindControl(L"edit_path_msb")) edit->SetText(path.c_str());
}
