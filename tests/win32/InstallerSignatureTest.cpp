// The installer check under Wine, over the copies the test world signs into its site: the
// stand-in installer signed with the pinned test key passes; every other copy is refused with
// its reason and code.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <string>

#include "common/Encoding.h"
#include "installer/win32/InstallerSignature.h"
#include "resources/deployment/local/DeploymentSettings.h"
#include "tests/support/TestWorld.h"

namespace {

using testsupport::Appended;

std::wstring SitePath(const std::string& name) {
  return encoding::AnsiToWide(testsupport::WorldPath("NEXVALE_TEST_WWW") + "\\data-recovery\\" + name);
}

TEST(InstallerSignature, OnlyTheCopySignedWithThePinnedKeyPasses) {
  std::string why;
  ASSERT_TRUE(testsupport::WorldIsUp(why)) << why;
  const Appended log(testsupport::DiagnosticLogPath());
  using R = InstallerRefusal;
  const struct {
    const char* file;
    R refusal;
    DWORD code;
    const wchar_t* signer;
  } cases[] = {
      {"vandrel-for-win.exe", R::kNone, 0, L"Nexvale Test Publisher"},
      {"refused\\unsigned.exe", R::kUnsigned, static_cast<DWORD>(TRUST_E_NOSIGNATURE), L""},
      {"refused\\changed-byte.exe", R::kChangedAfterSigning, static_cast<DWORD>(TRUST_E_BAD_DIGEST), L""},
      {"refused\\appended-bytes.exe", R::kBytesAfterSignature, static_cast<DWORD>(TRUST_E_NOSIGNATURE), L""},
      {"refused\\unpinned-key.exe", R::kUnpinnedKey, static_cast<DWORD>(TRUST_E_SUBJECT_NOT_TRUSTED),
       L"Nexvale Test Publisher"},
      {"refused\\untrusted-authority.exe", R::kUntrustedAuthority, static_cast<DWORD>(CERT_E_CHAINING),
       L"Nexvale Test Publisher"},
      {"refused\\no-code-signing.exe", R::kNoCodeSigningUsage, static_cast<DWORD>(CERT_E_WRONG_USAGE),
       L"Nexvale Test Publisher"},
      {"refused\\empty.exe", R::kNotAProgram, static_cast<DWORD>(TRUST_E_SUBJECT_FORM_UNKNOWN), L""},
      {"refused\\text.exe", R::kNotAProgram, static_cast<DWORD>(TRUST_E_SUBJECT_FORM_UNKNOWN), L""},
      {"refused\\missing.exe", R::kUnreadable, ERROR_FILE_NOT_FOUND, L""},
  };
  for (const auto& c : cases) {
    const InstallerSignatureCheck check = VerifyInstaller(SitePath(c.file), kInstallerSignerKeyPins);
    EXPECT_EQ(check.refusal, c.refusal) << c.file << ": " << DescribeInstallerRefusal(check.refusal);
    EXPECT_EQ(check.code, c.code) << c.file << std::hex << ": 0x" << check.code;
    EXPECT_EQ(check.signer, c.signer) << c.file;
    EXPECT_EQ(check.passed(), c.refusal == R::kNone) << c.file;
  }

  // The log names the signer of the file that passed and the reason and code of each refusal.
  const std::string text = log.Text();
  EXPECT_NE(text.find("installer signature accepted: signer \"Nexvale Test Publisher\""), std::string::npos) << text;
  EXPECT_NE(text.find("changed-byte.exe refused: changed after signing (0x80096010)"), std::string::npos) << text;
  EXPECT_NE(text.find("unpinned-key.exe refused: signed with a key that is not pinned (0x800b0004), signer "
                      "Nexvale Test Publisher"),
            std::string::npos)
      << text;
}

TEST(InstallerSignature, AFileBeingWrittenIsNotCheckedHalfway) {
  // The check holds the file shared for reading only: a writer that still holds it open makes
  // the check refuse it as unreadable instead of judging bytes that may still change.
  std::string why;
  ASSERT_TRUE(testsupport::WorldIsUp(why)) << why;
  const std::wstring path = SitePath("vandrel-for-win.exe");
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const InstallerSignatureCheck check = VerifyInstaller(path, kInstallerSignerKeyPins);
  CloseHandle(writer);
  EXPECT_EQ(check.refusal, InstallerRefusal::kUnreadable);
  EXPECT_EQ(check.code, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(VerifyInstaller(path, kInstallerSignerKeyPins).passed());
}

}  // namespace
