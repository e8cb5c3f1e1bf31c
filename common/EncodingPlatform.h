#pragma once
// What each build supplies to the encoding module (common/win32, common/posix).

#include <string>
#include <string_view>

#include "common/Encoding.h"

namespace encoding::platform {

enum class Invalid { kFail, kReplace };

// Ill-formed or unmappable wide characters become '?'; false only when the system fails.
bool Narrow(CodePage page, std::wstring_view text, std::string& out);
// Invalid byte sequences fail the call or become U+FFFD, as `invalid` says.
bool Widen(CodePage page, std::string_view bytes, std::wstring& out, Invalid invalid);

}  // namespace encoding::platform
