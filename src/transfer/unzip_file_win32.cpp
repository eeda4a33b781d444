#include "transfer/unzip_file_win32.h"

#include "transfer/archive_file_win32.h"
#include "transfer/extraction_target_win32.h"
#include "transfer/message_pump_win32.h"
#include "transfer/paced_extraction.h"
#include "transfer/tick_clock_win32.h"
#include "transfer/zip_extractor.h"

bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath, ExtractionFacts& facts,
               FileHold* hold) {
  facts = ExtractionFacts{};
  ArchiveFileWin32 archive(sourceFile);
  return UnZipFile(archive, destPath, facts, hold);
}

bool UnZipFile(ArchiveInput& archive, const std::wstring& destPath, ExtractionFacts& facts, FileHold* hold) {
  facts = ExtractionFacts{};
  ExtractionTargetWin32 target(hold);
  QueuePumpWin32 pump;  // one per extraction: a quit request it took up goes back at the end
  TickClockWin32 clock;
  PumpCadence cadence(pump, clock);
  PacedArchive paced_archive(archive, cadence);
  PacedTarget paced_target(target, cadence);
  ExtractZip(paced_archive, destPath, paced_target, facts);
  return true;
}
