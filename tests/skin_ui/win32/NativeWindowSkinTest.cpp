// The window manager with a real native window: window attributes from the skin, fonts with
// real handles, the notification wake-up message.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "skin_ui/ContainerUI.h"
#include "skin_ui/ControlUI.h"
#include "skin_ui/DialogBuilder.h"
#include "skin_ui/NativeWindowOps.h"
#include "skin_ui/UIMessages.h"
#include "skin_ui/WindowManagerUI.h"

namespace {

using namespace SkinUI;

class NativeWindowSkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"skin test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    manager_.Init(window_);
  }
  void TearDown() override {
    DestroyWindow(window_);
    CWindowManagerUI::ResetSharedResources();
  }
  HWND window_ = nullptr;
  CWindowManagerUI manager_;
};

TEST_F(NativeWindowSkinTest, WindowAttributesOfTheSkinReachTheNativeWindow) {
  CDialogBuilder builder;
  CControlUI* root = builder.Create(L"<Window size=\"300,200\" caption=\"0,0,0,38\" bordersize=\"1\">"
                                    L"<Control/></Window>",
                                    nullptr, nullptr, &manager_);
  ASSERT_NE(root, nullptr);
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right - client.left, 300);
  EXPECT_EQ(client.bottom - client.top, 200);
  EXPECT_EQ(manager_.GetCaptionRect(), (UIRect{0, 0, 0, 38}));
  EXPECT_EQ(std::wstring(manager_.GetWindowCustomAttribute(L"bordersize")), L"1");
  manager_.AttachRoot(root);
  // With a root, a new size is only stored.
  manager_.SetWindowAttribute(L"size", L"400,300");
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right - client.left, 300);
  EXPECT_EQ(manager_.GetInitSize().cx, 400);
}

TEST_F(NativeWindowSkinTest, FontsAreCreatedFromTheirDescription) {
  const std::wstring longFace(40, L'G');
  const UIFontInfo* bold = manager_.AddFont(0, L"Tahoma", 14, true, true, false);
  const UIFontInfo* longName = manager_.AddFont(1, longFace.c_str(), 12, false, false, true);
  ASSERT_NE(bold->handle, nullptr);
  ASSERT_NE(longName->handle, nullptr);
  LOGFONTW lf{};
  ASSERT_NE(GetObjectW(static_cast<HFONT>(bold->handle), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfHeight, -14);
  EXPECT_GE(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_FALSE(lf.lfItalic);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"Tahoma");
  ASSERT_NE(GetObjectW(static_cast<HFONT>(longName->handle), sizeof(lf), &lf), 0);
  EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(31, L'G'));
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_EQ(manager_.GetFont(0), bold->handle);
  const UITextMetrics metrics = manager_.GetFontMetrics(0);
  EXPECT_TRUE(metrics.measured);
  EXPECT_GE(metrics.height, 14);
  EXPECT_EQ(metrics.height, metrics.ascent + metrics.descent);
  EXPECT_EQ(manager_.GetFont(5), nullptr);  // no such font and no default yet
  const UIFontInfo* fallback = manager_.SetDefaultFont(L"Arial", 12, false, false, false);
  EXPECT_EQ(manager_.GetFont(5), fallback->handle);
}

TEST_F(NativeWindowSkinTest, QueuedNotificationsPostOneWakeUpUntilDelivered) {
  auto* root = new CControlUI;
  manager_.AttachRoot(root);
  MSG msg;
  while (PeekMessageW(&msg, window_, kMsgNotifyWakeUp, kMsgNotifyWakeUp, PM_REMOVE)) {
  }
  manager_.SendNotification(root, L"timer", 0, 0, true);
  manager_.SendNotification(root, L"click", 0, 0, true);
  int posted = 0;
  while (PeekMessageW(&msg, window_, kMsgNotifyWakeUp, kMsgNotifyWakeUp, PM_REMOVE)) ++posted;
  EXPECT_EQ(posted, 1);
  manager_.DeliverQueuedNotifications();
  manager_.SendNotification(root, L"timer", 0, 0, true);
  posted = 0;
  while (PeekMessageW(&msg, window_, kMsgNotifyWakeUp, kMsgNotifyWakeUp, PM_REMOVE)) ++posted;
  EXPECT_EQ(posted, 1);
}

TEST_F(NativeWindowSkinTest, SkinFromATypedResourceIncludesResourcesOfTheSameType) {
  CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
  CDialogBuilder builder;
  CControlUI* root = builder.Create(SkinRef(200u), L"xml", nullptr, &manager_);
  ASSERT_NE(root, nullptr) << builder.GetLastErrorMessage();
  manager_.AttachRoot(root);
  auto* row = static_cast<CContainerUI*>(manager_.FindControl(L"row"));
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(row->GetCount(), 2);
  EXPECT_EQ(row->GetItemAt(1)->GetFixedWidth(), 10);
  EXPECT_EQ(builder.Create(SkinRef(202u), L"xml", nullptr, &manager_), nullptr);
}

TEST_F(NativeWindowSkinTest, InvalidationIsClippedByTheAncestors) {
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  manager_.SetWindowAttribute(L"size", L"200,200");
  auto* root = new CContainerUI;
  auto* box = new CContainerUI;
  auto* child = new CControlUI;
  root->Add(box);
  box->Add(child);
  manager_.AttachRoot(root);
  root->SetPos(UIRect{0, 0, 200, 200}, false);
  box->SetPos(UIRect{10, 10, 60, 60}, false);
  child->SetPos(UIRect{40, 40, 120, 120}, false);
  ValidateRect(window_, nullptr);
  child->Invalidate();
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(window_, &update, FALSE));
  EXPECT_EQ(update.left, 40);
  EXPECT_EQ(update.top, 40);
  EXPECT_EQ(update.right, 60);
  EXPECT_EQ(update.bottom, 60);

  ValidateRect(window_, nullptr);
  box->SetVisible(false);
  ValidateRect(window_, nullptr);
  child->Invalidate();  // hidden with its parent: nothing to repaint
  EXPECT_FALSE(GetUpdateRect(window_, &update, FALSE));
}

}  // namespace
