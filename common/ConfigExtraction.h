#pragma once
// Extraction of the configuration archive into the work folder's "language" folder: folder
// entries become folders, file entries files, in archive order. Entries that could leave the
// target folder, or whose data does not inflate completely, are skipped and logged.

#include <cstdint>
#include <string>
#include <string_view>

struct ExtractionResult {
  int files = 0;
  int folders = 0;
  int skipped = 0;
  bool opened = false;
};

// `targetFolder` ends in the separator.
ExtractionResult ExtractArchive(const void* data, uint32_t size, const std::wstring& targetFolder);

// True for a relative name made of plain segments: no "..", no drive or stream colon, no leading
// separator.
bool IsSafeEntryName(std::wstring_view name);
