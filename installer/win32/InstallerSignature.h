#pragma once
// The downloaded installer runs with administrator rights, and its address may come from an
// answer over plain HTTP: before it runs, its Authenticode signature must be valid, chain to a
// trusted root for code signing, end the file, and be made with one of the deployment's pinned
// keys. Revocation is not checked: the pin limits signers to the maker's keys, a leaked key is
// answered by setups that pin the next one, and offline there is no revocation source.

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

enum class InstallerRefusal {
  kNone,
  kUnreadable,            // the file cannot be opened or read (code: the system error)
  kNotAProgram,
  kUnsigned,
  kBytesAfterSignature,
  kChangedAfterSigning,   // the file's hash is not the one that was signed
  kUntrustedAuthority,
  kNoCodeSigningUsage,
  kUnpinnedKey,
  kSignatureRefused,      // any other refusal of the signature or its chain
};

struct InstallerSignatureCheck {
  InstallerRefusal refusal = InstallerRefusal::kNone;
  // The system's code for the refusal: an HRESULT of the trust check, or a system error code.
  DWORD code = 0;
  // The signing certificate's name, once the signature was read.
  std::wstring signer;
  bool passed() const { return refusal == InstallerRefusal::kNone; }
};

const char* DescribeInstallerRefusal(InstallerRefusal refusal);

// Checks the file at `path` against the signer key pins; logs the signer on success and the
// reason with its code otherwise. The file is held open, shared for reading only, while checked.
InstallerSignatureCheck VerifyInstaller(const std::wstring& path, std::span<const std::string_view> pins);
