#pragma once
// Unpacks a ZIP archive: stored and Deflate entries, classic (not ZIP64) records.
#include <string>

#include "transfer/archive_input.h"
#include "transfer/extraction_target.h"
#include "transfer/transfer_facts.h"

// Unpacks every entry below `dest_path`, in the order of the central directory, each one
// completely before the next, folders made with their parents. A file keeps the entry's
// MS-DOS time as its creation and last-write time, and an entry made on MS-DOS also its
// attributes. Raises Error at the first failure, and no further entry is touched:
//   "Stream read error"                      the archive is empty, or an entry's data ends early
//   "Error reading zip file"                 no end record, or a header cut short
//   "Invalid Zip Central Header signature"   "Invalid Zip Local Header signature"
//   "Item not found"                         a method other than stored or Deflate
//   "Invalid characters in path"             "The specified path is too long"
//   "The path format is not supported"       "Cannot create file "<path>". <reason>"
//   "data error", "insufficient memory"      from zlib
//   "Stream write error"
//   Cannot extract "<name>". <reason>        an encrypted entry, damaged data (CRC-32),
//                                            a name that would leave `dest_path`
//   Not enough free space in "<folder>": ... before any entry, when the volume of
//                                            `dest_path` cannot hold the sum of the
//                                            entries' sizes (SpaceShortage)
// `facts` counts the entries and what was unpacked, up to a failure too.
void ExtractZip(ArchiveInput& input, const std::wstring& dest_path, ExtractionTarget& target,
                ExtractionFacts& facts);

// Cannot <verb> file "<path>". <reason>: the system's message as SystemMessage gives it,
// without its full stop, which the error report adds.
std::wstring FileFailureText(const wchar_t* verb, const std::wstring& path,
                             const std::wstring& reason);
