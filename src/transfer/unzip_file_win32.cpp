#include "transfer/unzip_file_win32.h"

#include "transfer/archive_file_win32.h"
#include "transfer/extraction_target_win32.h"
#include "transfer/zip_extractor.h"

bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath) {
  ArchiveFileWin32 archive(sourceFile);
  ExtractionTargetWin32 target;
  ExtractZip(archive, destPath, target);
  return true;
}
