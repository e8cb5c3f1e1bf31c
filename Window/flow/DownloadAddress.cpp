#include "Window/flow/DownloadAddress.h"

#include <boost/system/error_code.hpp>

#include "common/AsciiText.h"
#include "common/Encoding.h"
#include "download/http/location.h"
#include "download/http/url.h"
#include "log/Logger.h"

DownloadAddressChoice ChooseDownloadAddress(std::wstring_view configured, std::wstring_view alternative,
                                            bool answered, std::wstring_view answer) {
  const DownloadAddressChoice kept{std::wstring(configured), false};
  if (!answered || answer.empty() || answer == configured) return kept;

  boost::system::error_code ec;
  // An alternative address that is no URL still lets an absolute target through.
  const httpdl::parsed_url base(encoding::WideToAnsi(alternative), ec);
  const std::string target = httpdl::resolve_reference(base, encoding::WideToAnsi(answer));
  const httpdl::parsed_url resolved(target, ec);
  if (ec || resolved.host().empty() ||
      !(asciitext::EqualsIgnoringCase(resolved.protocol(), "http") ||
        asciitext::EqualsIgnoringCase(resolved.protocol(), "https"))) {
    LOG_INFOW(L"redirect target %s of %s refused: not an http or https address with a host", std::wstring(answer).c_str(),
              std::wstring(alternative).c_str());
    return kept;
  }
  return {encoding::AnsiToWide(target), true};
}
