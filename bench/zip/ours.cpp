// Our ZIP reader with a plain file sink: zip_bench_ours <archive> <dest-folder>/
#include <sys/resource.h>

#include <cstdio>

#include "base/error.h"
#include "posix_extraction.h"
#include "transfer/zip_extractor.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <archive> <dest-folder>\n", argv[0]);
    return 2;
  }
  PosixArchive archive(argv[1]);
  PosixTarget target;
  // Given as Windows gives it: the folder with a trailing "\".
  std::wstring dest = WidePath(argv[2]);
  while (dest.size() > 1 && dest.back() == L'/') dest.pop_back();
  ExtractionFacts facts;
  try {
    ExtractZip(archive, dest + L"\\", target, facts);
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  std::fprintf(stderr, "reads %d seeks %d peak_rss_kib %ld\n", archive.reads, archive.seeks,
               usage.ru_maxrss);
  return 0;
}
