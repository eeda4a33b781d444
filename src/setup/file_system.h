#pragma once
// The folder and file operations of the stage chain, so the chain runs against fakes too.
#include <optional>
#include <string>

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Makes one folder level. Nothing on success; otherwise the system's reason, also when
  // the folder already exists or its parent is missing.
  virtual std::optional<std::wstring> MakeFolder(const std::wstring& path) = 0;
  virtual bool FolderExists(const std::wstring& path) = 0;
  // A file, not a folder, is at `path`.
  virtual bool FileExists(const std::wstring& path) = 0;
  // False when the file could not be deleted (also when there was none); raises nothing.
  virtual bool RemoveFile(const std::wstring& path) = 0;
  // For what the utility writes with its rights in the person's folders: why the item
  // `tail` below the known folder `known_folder` must not be written (a junction or a
  // symbolic link on the way, or reached elsewhere); nothing when it may, or is missing.
  virtual std::optional<std::wstring> LinkOnTheWay(const std::wstring& known_folder, const std::wstring& tail) = 0;
  // Deletes that file without following a link; false when refused, missing or not deleted.
  virtual bool RemoveUnlinkedFile(const std::wstring& known_folder, const std::wstring& tail) = 0;
};
