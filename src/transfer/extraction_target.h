#pragma once
// Where the ZIP reader puts what it unpacks: folders, files, their times and attributes.
// The reader decides every path and every rule; the target only carries them out.
#include <string>

#include "transfer/output_file.h"

// Files are created and removed as every output file is; the target adds the folders.
class ExtractionTarget : public OutputFiles {
 public:
  // `path` made absolute, as the file system would resolve it from the current folder.
  virtual std::wstring FullPath(const std::wstring& path) = 0;
  // Creates the folder and every missing parent; a folder that exists already is fine.
  // A folder that cannot be made is not reported: creating a file in it fails instead.
  virtual void MakeFolders(const std::wstring& folder) = 0;
};
