#include "installer/win32/InstallerSignature.h"

// wintrust.h and softpub.h need windows.h and wincrypt.h before them.
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "installer/PeSignatureBlock.h"
#include "installer/SignerKeyPin.h"
#include "log/Logger.h"

namespace {

const char* const kRefusalNames[] = {
    "accepted",
    "the file cannot be read",
    "not a program",
    "not signed",
    "bytes after the signature",
    "changed after signing",
    "signed by a certificate from an untrusted authority",
    "the signing certificate is not for code signing",
    "signed with a key that is not pinned",
    "signature refused",
};
static_assert(std::size(kRefusalNames) == static_cast<std::size_t>(InstallerRefusal::kSignatureRefused) + 1);

InstallerSignatureCheck Refused(InstallerRefusal refusal, DWORD code, std::wstring signer = {}) {
  return {refusal, code, std::move(signer)};
}

// What the trust check's answers mean for the installer.
InstallerRefusal RefusalOfTrustCode(LONG code) {
  static const struct {
    LONG code;
    InstallerRefusal refusal;
  } kTrustCodes[] = {
      {TRUST_E_NOSIGNATURE, InstallerRefusal::kUnsigned},
      {TRUST_E_SUBJECT_FORM_UNKNOWN, InstallerRefusal::kNotAProgram},
      {TRUST_E_BAD_DIGEST, InstallerRefusal::kChangedAfterSigning},
      {CERT_E_UNTRUSTEDROOT, InstallerRefusal::kUntrustedAuthority},
      {CERT_E_CHAINING, InstallerRefusal::kUntrustedAuthority},
      {CERT_E_WRONG_USAGE, InstallerRefusal::kNoCodeSigningUsage},
  };
  for (const auto& entry : kTrustCodes) {
    if (entry.code == code) return entry.refusal;
  }
  return InstallerRefusal::kSignatureRefused;
}

// The layout is read before the signature: the system tolerates bytes after the signature block
// and some systems call them "no signature", so the file's own shape names the reason first.
InstallerSignatureCheck CheckLayout(HANDLE file) {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size)) return Refused(InstallerRefusal::kUnreadable, GetLastError());
  std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, kPeHeadBytes)));
  DWORD read = 0;
  if (!head.empty() && (!ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &read, nullptr) ||
                        read != head.size())) {
    return Refused(InstallerRefusal::kUnreadable, GetLastError());
  }
  const LARGE_INTEGER start = {};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return Refused(InstallerRefusal::kUnreadable, GetLastError());
  switch (ReadPeSignatureLayout(head, static_cast<std::uint64_t>(size.QuadPart))) {
    case PeSignatureLayout::kNotAProgram:
      return Refused(InstallerRefusal::kNotAProgram, static_cast<DWORD>(TRUST_E_SUBJECT_FORM_UNKNOWN));
    case PeSignatureLayout::kUnsigned:
      return Refused(InstallerRefusal::kUnsigned, static_cast<DWORD>(TRUST_E_NOSIGNATURE));
    case PeSignatureLayout::kBytesAfterSignature:
      return Refused(InstallerRefusal::kBytesAfterSignature, static_cast<DWORD>(TRUST_E_NOSIGNATURE));
    case PeSignatureLayout::kSignatureEndsTheFile:
      break;
  }
  return {};
}

// The signer's chain again, for code signing, at the time the trust check judged the signature
// (the time stamp's time when there is one): some systems' trust check accepts a chain that
// ends at an unknown root, or a certificate for other usages.
InstallerSignatureCheck CheckChain(const CRYPT_PROVIDER_SGNR& signer, PCCERT_CONTEXT certificate) {
  LPSTR codeSigning = const_cast<LPSTR>(szOID_PKIX_KP_CODE_SIGNING);
  CERT_CHAIN_PARA parameters = {};
  parameters.cbSize = sizeof(parameters);
  parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
  parameters.RequestedUsage.Usage.rgpszUsageIdentifier = &codeSigning;
  FILETIME when = signer.sftVerifyAsOf;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!CertGetCertificateChain(nullptr, certificate, &when, certificate->hCertStore, &parameters, 0, nullptr, &chain)) {
    return Refused(InstallerRefusal::kSignatureRefused, GetLastError());
  }
  const DWORD status = chain->TrustStatus.dwErrorStatus &
                       ~static_cast<DWORD>(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
  CertFreeCertificateChain(chain);
  if (status == CERT_TRUST_NO_ERROR) return {};
  if (status & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) {
    return Refused(InstallerRefusal::kNoCodeSigningUsage, static_cast<DWORD>(CERT_E_WRONG_USAGE));
  }
  if (status & CERT_TRUST_IS_UNTRUSTED_ROOT) {
    return Refused(InstallerRefusal::kUntrustedAuthority, static_cast<DWORD>(CERT_E_UNTRUSTEDROOT));
  }
  if (status & CERT_TRUST_IS_PARTIAL_CHAIN) {
    return Refused(InstallerRefusal::kUntrustedAuthority, static_cast<DWORD>(CERT_E_CHAINING));
  }
  LOG_INFO("installer signer's chain status 0x%lx", static_cast<unsigned long>(status));
  return Refused(InstallerRefusal::kSignatureRefused, status);
}

InstallerSignatureCheck CheckSigner(HANDLE stateData, std::span<const std::string_view> pins) {
  CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(stateData);
  CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
  if (!signer || signer->csCertChain == 0 || !signer->pasCertChain[0].pCert) {
    return Refused(InstallerRefusal::kSignatureRefused, static_cast<DWORD>(TRUST_E_NO_SIGNER_CERT));
  }
  PCCERT_CONTEXT certificate = signer->pasCertChain[0].pCert;
  wchar_t name[256] = L"";
  CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, ARRAYSIZE(name));

  InstallerSignatureCheck check = CheckChain(*signer, certificate);
  check.signer = name;
  if (!check.passed()) return check;

  const std::optional<KeyPin> key =
      KeyPinOfCertificate({certificate->pbCertEncoded, static_cast<std::size_t>(certificate->cbCertEncoded)});
  if (!key) return Refused(InstallerRefusal::kSignatureRefused, static_cast<DWORD>(CRYPT_E_ASN1_BADTAG), name);
  if (!IsPinnedKey(pins, *key)) {
    LOG_INFO("installer signer's key %s is not pinned", KeyPinText(*key).c_str());
    return Refused(InstallerRefusal::kUnpinnedKey, static_cast<DWORD>(TRUST_E_SUBJECT_NOT_TRUSTED), name);
  }
  return check;
}

InstallerSignatureCheck CheckSignature(HANDLE file, const std::wstring& path, std::span<const std::string_view> pins) {
  WINTRUST_FILE_INFO fileInfo = {};
  fileInfo.cbStruct = sizeof(fileInfo);
  fileInfo.pcwszFilePath = path.c_str();
  fileInfo.hFile = file;
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &fileInfo;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG trust = WinVerifyTrust(nullptr, &action, &data);
  const InstallerSignatureCheck check =
      trust == ERROR_SUCCESS ? CheckSigner(data.hWVTStateData, pins)
                             : Refused(RefusalOfTrustCode(trust), static_cast<DWORD>(trust));
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(nullptr, &action, &data);
  return check;
}

InstallerSignatureCheck Check(const std::wstring& path, std::span<const std::string_view> pins) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Refused(InstallerRefusal::kUnreadable, GetLastError());
  InstallerSignatureCheck check = CheckLayout(file);
  if (check.passed()) check = CheckSignature(file, path, pins);
  CloseHandle(file);
  return check;
}

}  // namespace

const char* DescribeInstallerRefusal(InstallerRefusal refusal) { return kRefusalNames[static_cast<int>(refusal)]; }

InstallerSignatureCheck VerifyInstaller(const std::wstring& path, std::span<const std::string_view> pins) {
  const InstallerSignatureCheck check = Check(path, pins);
  if (check.passed()) {
    LOG_INFOW(L"installer signature accepted: signer \"%s\"", check.signer.c_str());
  } else {
    LOG_INFOW(L"installer %s refused: %S (0x%08lx)%s%s", path.c_str(), DescribeInstallerRefusal(check.refusal),
              static_cast<unsigned long>(check.code), check.signer.empty() ? L"" : L", signer ",
              check.signer.c_str());
  }
  return check;
}
