// The product's skins as the skin preview paints them under Wine, checked by the pixels of its
// pictures and by its report: right-to-left rectangles mirror their twins, the Arabic bar fills
// from the right, every text the setup sets fits in every language, and the looks of a control's
// states differ. The pictures stay under build/<preset>/skin-previews/tests/ for people to see.

#include <windows.h>

#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/Encoding.h"
#include "skin_ui/preview/PreviewReport.h"
#include "tests/support/TestFiles.h"

namespace {

using namespace preview;

std::wstring OutputFolder() {
  std::wstring folder = testsupport::BuildBinFolder() + L"..\\skin-previews\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  folder += L"tests\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint32_t At(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (p[0] << 16) | (p[1] << 8) | p[2];
  }
};

// One run of the preview: its report and, when it painted, its picture.
struct Preview {
  std::string problem;  // empty when the preview ran and its picture decoded
  int width = 0, height = 0;
  std::map<std::wstring, ControlLine> controls;
  std::vector<FitLine> fits;
  Picture picture;

  const ControlLine& Control(const wchar_t* name) const {
    static const ControlLine none;
    const auto found = controls.find(name);
    return found == controls.end() ? none : found->second;
  }
};

// Runs skin_preview with `arguments`, its output read through a pipe.
Preview RunPreview(const std::wstring& name, const std::wstring& arguments) {
  Preview preview;
  const std::wstring png = OutputFolder() + name + L".png";
  DeleteFileW(png.c_str());
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    preview.problem = "no pipe";
    return preview;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  const std::wstring program = testsupport::BuildBinFolder() + L"skin_preview.exe";
  std::wstring command = L"\"" + program + L"\" " + arguments + L" --png \"" + png + L"\"";
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  if (started) {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) output.append(buffer, read);
    WaitForSingleObject(process.hProcess, 60000);
  }
  CloseHandle(readEnd);
  DWORD exitCode = 1;
  if (started) {
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  if (!started || exitCode != 0) {
    preview.problem = "skin_preview " + encoding::WideToUtf8(arguments) + " failed: " + output;
    return preview;
  }
  const std::wstring text = encoding::Utf8ToWide(output);
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    start = end + 1;
    if (const auto control = ParseControlLine(line)) {
      preview.controls[control->name] = *control;
    } else if (const auto fit = ParseFitLine(line)) {
      preview.fits.push_back(*fit);
    } else if (line.rfind(L"window\t", 0) == 0) {
      const size_t size = line.find(L'\t', 7);
      const size_t height = line.find(L'\t', size + 1);
      preview.width = std::stoi(line.substr(size + 1));
      preview.height = std::stoi(line.substr(height + 1));
    }
  }
  const std::string bytes = testsupport::ReadFileBytes(png);
  int channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                            &preview.picture.width, &preview.picture.height, &channels, 3),
      stbi_image_free);
  if (!pixels) {
    preview.problem = "the picture does not decode: " + encoding::WideToUtf8(png);
    return preview;
  }
  preview.picture.rgb.assign(pixels.get(), pixels.get() + preview.picture.width * preview.picture.height * 3);
  if (preview.picture.width != preview.width || preview.picture.height != preview.height)
    preview.problem = "the picture is not the window's size";
  return preview;
}

int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// The brand colour's fill: clearly blue, unlike the grey track.
bool IsFill(uint32_t pixel) { return Channel(pixel, 0) - Channel(pixel, 16) > 60; }

std::string Describe(const Box& box) {
  return std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.right) + "," +
         std::to_string(box.bottom);
}

// Right to left: each shown control of the Arabic window stands where its English twin's mirror
// image does (x' = width - right), within 2 pixels.
TEST(SkinPreviewTest, RightToLeftRectanglesMirrorTheirTwins) {
  const struct {
    const wchar_t* name;
    const wchar_t* arguments;
  } views[] = {
      {L"page0-error", L"--window main --state error --state tip"},
      {L"page0-finish", L"--window main --state finish"},
      {L"page1", L"--window main --page 1 --state progress=45"},
      {L"disk", L"--window WinMessageBox"},
      {L"stop", L"--window WinStopInstallBox"},
  };
  for (const auto& view : views) {
    SCOPED_TRACE(encoding::WideToUtf8(view.name));
    const Preview ltr = RunPreview(std::wstring(L"mirror-ltr-") + view.name, view.arguments + std::wstring(L" --language English"));
    const Preview rtl = RunPreview(std::wstring(L"mirror-rtl-") + view.name, view.arguments + std::wstring(L" --language Arabic"));
    ASSERT_EQ(ltr.problem, "");
    ASSERT_EQ(rtl.problem, "");
    ASSERT_EQ(ltr.width, rtl.width);
    ASSERT_EQ(ltr.height, rtl.height);
    int compared = 0;
    for (const auto& [name, control] : ltr.controls) {
      if (!control.visible) continue;
      const ControlLine& twin = rtl.Control(name.c_str());
      ASSERT_TRUE(twin.visible) << encoding::WideToUtf8(name) << " is shown in one direction only";
      const Box& a = control.box;
      const Box& b = twin.box;
      const Box mirrored{ltr.width - a.right, a.top, ltr.width - a.left, a.bottom};
      EXPECT_TRUE(std::abs(b.left - mirrored.left) <= 2 && std::abs(b.right - mirrored.right) <= 2 &&
                  std::abs(b.top - a.top) <= 2 && std::abs(b.bottom - a.bottom) <= 2)
          << encoding::WideToUtf8(name) << ": " << Describe(b) << ", its twin's mirror image " << Describe(mirrored);
      ++compared;
    }
    EXPECT_GT(compared, 3);
  }
}

// The Arabic bar at 45 %: the fill covers the right 45 % of the bar, the track the rest.
TEST(SkinPreviewTest, TheArabicBarFillsFromTheRight) {
  for (const bool rightToLeft : {false, true}) {
    const Preview preview = RunPreview(rightToLeft ? L"bar45-rtl" : L"bar45-ltr",
                                       std::wstring(L"--window main --page 1 --state progress=45 --language ") +
                                           (rightToLeft ? L"Arabic" : L"English"));
    ASSERT_EQ(preview.problem, "");
    const Box bar = preview.Control(L"progress_download").box;
    ASSERT_GT(bar.Width(), 100);
    const int y = (bar.top + bar.bottom) / 2;
    const int edge = rightToLeft ? bar.right - bar.Width() * 45 / 100 : bar.left + bar.Width() * 45 / 100;
    for (int x = bar.left + 4; x < bar.right - 4; x += 3) {
      if (std::abs(x - edge) <= 3) continue;
      const bool filled = rightToLeft ? x > edge : x < edge;
      EXPECT_EQ(IsFill(preview.picture.At(x, y)), filled)
          << (rightToLeft ? "Arabic" : "English") << " bar " << Describe(bar) << " at x=" << x << ": pixel "
          << std::hex << preview.picture.At(x, y);
    }
  }
}

// Every text the setup sets, in every language, in a state that shows its control, fits with the
// margin for other systems' metrics.
TEST(SkinPreviewTest, EveryTextFitsInEveryLanguage) {
  const wchar_t* const views[] = {
      L"--window main --state error",  L"--window main --state finish",
      L"--window main --page 1 --state progress=100", L"--window WinMessageBox",
      L"--window WinStopInstallBox",
  };
  const wchar_t* const languages[] = {L"English", L"Chinese", L"ChineseTW", L"Dutch", L"French",
                                      L"German",  L"Italian", L"Japanese",  L"Spanish", L"Portuguese",
                                      L"Korean",  L"Arabic",  L"Thai",      L"Swedish"};
  for (const wchar_t* language : languages) {
    std::set<std::wstring> reported;
    for (size_t v = 0; v < std::size(views); ++v) {
      const std::wstring name = std::wstring(L"fit-") + language + L"-" + std::to_wstring(v);
      const Preview preview = RunPreview(name, std::wstring(views[v]) + L" --language " + language);
      ASSERT_EQ(preview.problem, "");
      for (const FitLine& fit : preview.fits) {
        reported.insert(fit.control);
        const auto binding = std::find_if(TextBindings().begin(), TextBindings().end(),
                                          [&](const TextBinding& b) { return fit.control == b.control; });
        EXPECT_TRUE(fit.fits) << encoding::WideToUtf8(language) << ", " << encoding::WideToUtf8(binding->pattern) << " in "
                              << encoding::WideToUtf8(fit.control) << ": needs " << fit.neededWidth << "x"
                              << fit.neededHeight << " (+" << kFitMarginPercent << " % in width), has " << fit.roomWidth
                              << "x" << fit.roomHeight << ": \"" << encoding::WideToUtf8(fit.text) << "\"";
      }
    }
    for (const TextBinding& binding : TextBindings())
      EXPECT_EQ(reported.count(binding.control), 1u) << encoding::WideToUtf8(binding.control) << " never measured in "
                                                      << encoding::WideToUtf8(language);
  }
}

// The pixels of `box` in the preview's picture.
std::vector<uint32_t> Crop(const Preview& preview, const Box& box) {
  std::vector<uint32_t> pixels;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) pixels.push_back(preview.picture.At(x, y));
  return pixels;
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int count = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) count += a[i] != b[i];
  return count;
}

// Normal, hot, pushed and disabled looks differ from each other, for the primary and secondary
// buttons and a dialog's buttons, in both directions; a check box has no pushed look of its own.
TEST(SkinPreviewTest, NormalHotPushedAndDisabledLooksDiffer) {
  const std::vector<const wchar_t*> buttonStates = {L"", L"hot", L"pushed", L"disabled"};
  const struct {
    const wchar_t* window;
    const wchar_t* control;
    std::vector<const wchar_t*> states;
  } controls[] = {
      {L"main", L"btn_install", buttonStates},
      {L"main --page 1", L"btn_stop", buttonStates},
      {L"WinStopInstallBox", L"btn_stop_ok", buttonStates},
      {L"WinMessageBox", L"btn_browse_msb", buttonStates},
      {L"main", L"chk_fold", {L"", L"hot", L"disabled"}},
  };
  for (const auto& c : controls) {
    for (const wchar_t* language : {L"English", L"Arabic"}) {
      SCOPED_TRACE(encoding::WideToUtf8(std::wstring(c.control) + L" " + language));
      std::vector<std::vector<uint32_t>> looks;
      for (const wchar_t* state : c.states) {
        std::wstring arguments = std::wstring(L"--window ") + c.window + L" --language " + language;
        if (*state) arguments += std::wstring(L" --state ") + state + L"=" + c.control;
        const std::wstring name = std::wstring(L"state-") + c.control + L"-" + language + L"-" + (*state ? state : L"normal");
        const Preview preview = RunPreview(name, arguments);
        ASSERT_EQ(preview.problem, "");
        const ControlLine& control = preview.Control(c.control);
        ASSERT_TRUE(control.visible);
        looks.push_back(Crop(preview, control.box));
      }
      for (size_t i = 0; i < looks.size(); ++i)
        for (size_t j = i + 1; j < looks.size(); ++j)
          EXPECT_GT(Differences(looks[i], looks[j]), 20)
              << encoding::WideToUtf8(*c.states[i] ? c.states[i] : L"normal") << " and "
              << encoding::WideToUtf8(c.states[j]) << " look alike";
    }
  }
}

}  // namespace
