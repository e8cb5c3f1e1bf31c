#include "common/GA.h"

#include <thread>

#include "common/Encoding.h"
#include "common/GAPayload.h"
#include "common/win32/ClientIdRegistry.h"
#include "log/Logger.h"
#include "tool/HttpBase.h"

CGA& CGA::GetInstance() {
  // Never destroyed: reporting threads may still run while the process ends.
  static CGA* instance = new CGA(encoding::WideToUtf8(ReadOrCreateClientId()));
  return *instance;
}

void CGA::InitReportTarget(const std::wstring& reportUrl, const std::wstring& analyticsTitle) {
  reportUrl_ = reportUrl;
  eventCategory_ = analyticsTitle + L" (Windows version)";
}

bool CGA::SendGACommon(const std::string& eventName) {
  LOG_INFO("tran code guid:%s", clientId_.c_str());
  const std::string json = BuildGAReportJson(MakeGAPayload(clientId_, eventName, ToGAReportText(eventCategory_)));

  IHttpBase* base = nullptr;
  if (!CreateHttpClient(&base, kHttpClient_WinHttp)) return false;
  IWinHttp* client = dynamic_cast<IWinHttp*>(base);
  if (!client) {
    base->Destroy();
    return false;
  }
  const std::string url = encoding::WideToUtf8(reportUrl_);
  client->PerformRequest(url, true, json, std::string("Content-Type: application/json; charset=utf-8"));
  const int status = client->GetStatusCode();
  LOG_INFO("request url: %s", url.c_str());
  LOG_INFO("request info: %s", json.c_str());
  LOG_INFO("request ret Code: %d", status);
  client->Destroy();
  return true;
}

bool CGA::SendDownloaderStartInstall() { return SendGACommon("Downloader_Start_Install"); }
bool CGA::SendDownloaderInstalled() { return SendGACommon("Downloader_Installed"); }
bool CGA::SendInstalledSucceed() { return SendGACommon("Installed_Succeed"); }

unsigned AnalyticsThreadProc(void* param) {
  auto* record = static_cast<GAThreadParam*>(param);
  switch (record->kind) {
    case kGAEvent_Installed:
      record->result = record->ga->SendDownloaderInstalled();
      break;
    case kGAEvent_InstalledSucceed:
      record->result = record->ga->SendInstalledSucceed();
      break;
    default:
      record->result = record->ga->SendDownloaderStartInstall();
      break;
  }
  delete record;
  return 0;
}

bool StartAnalyticsThread(CGA& ga, int32_t kind) {
  auto* record = new GAThreadParam{0, &ga, kind};
  try {
    std::thread(AnalyticsThreadProc, record).detach();
  } catch (const std::system_error&) {
    delete record;
    return false;
  }
  return true;
}
