#pragma once
// The run folder: where the platform package, its extraction and the configuration file
// lie while the elevated chain uses them. It is made fresh for each run under the
// machine's program data folder with an access list that lets only SYSTEM and
// Administrators change it, since the person's own folders can be changed by every
// program they run without elevation.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Form1;

enum class EntryKind { File, Folder, Link };  // a link is a junction or a symbolic link

struct FolderEntry {
  std::wstring name;
  EntryKind kind;
};

enum class FolderOwner { System, Administrators, Other };

// What start-up needs to know of a folder in the program data folder to judge it.
struct FolderFacts {
  FolderOwner owner;
  // Since the folder was made; nothing when its time cannot be read or lies ahead.
  std::optional<std::uint64_t> age_ms;
};

class RunFolderSystem {
 public:
  virtual ~RunFolderSystem() = default;
  // The machine's program data folder, e.g. "C:\ProgramData". Raises Error.
  virtual std::wstring ProgramDataFolder() = 0;
  // Bytes from the system's random number generator. Raises Error.
  virtual std::vector<unsigned char> RandomBytes(std::size_t count) = 0;
  // Makes the folder with the run folder's access list. Nothing on success; otherwise the
  // system's reason, with `exists` set when a file or folder of that name is there.
  virtual std::optional<std::wstring> MakeProtectedFolder(const std::wstring& path, bool& exists) = 0;
  // The entries of `folder` without "." and ".."; empty when it cannot be read.
  virtual std::vector<FolderEntry> List(const std::wstring& folder) = 0;
  virtual FolderFacts Facts(const std::wstring& folder) = 0;
  // Each false when the entry is still there; raises nothing. RemoveFile removes a
  // read-only file too; RemoveLink removes the link itself, never what it points to.
  virtual bool RemoveFile(const std::wstring& path) = 0;
  virtual bool RemoveEmptyFolder(const std::wstring& path) = 0;
  virtual bool RemoveLink(const std::wstring& path) = 0;
  // Copies `from` over `to`. Nothing on success; otherwise the system's reason.
  virtual std::optional<std::wstring> CopyFileTo(const std::wstring& from, const std::wstring& to) = 0;
};

// "Kalvera-" and 32 lower-case hexadecimal digits.
std::wstring RunFolderName(const std::vector<unsigned char>& random16);
bool IsRunFolderName(const std::wstring& name);
inline constexpr std::uint64_t kLeftoverAgeMs = 24ull * 60 * 60 * 1000;
// A run folder that a crashed run left: its name, a folder and not a link, made more than
// a day ago (a younger one may be another administrator's run on the same server), and
// owned by SYSTEM or Administrators (one that someone else made is not ours to remove).
bool IsLeftoverRunFolder(const FolderEntry& entry, const FolderFacts& facts);

// Removes everything below `folder` and, unless `keep_folder`, the folder itself; never
// goes through a link. True when nothing is left that should have gone.
bool RemoveTree(RunFolderSystem& system, const std::wstring& folder, bool keep_folder);

// Paths inside the run folder `folder`.
std::wstring RunFolderPackage(const std::wstring& folder);        // ...\update_pack.zip
std::wstring RunFolderSetupProgram(const std::wstring& folder);   // ...\KalveraSetup1c.exe
std::wstring RunFolderConfiguration(const std::wstring& folder);  // ...\database.cf

// Makes the run folder unless this run has one. Raises Error naming the folder and the
// system's reason when it cannot be made.
void EnsureRunFolder(Form1& form);
// The package and its extraction go once the setup program has ended; the folder stays.
void EmptyRunFolder(Form1& form);
// Removes the run folder at the chain's end; raises nothing.
void RemoveRunFolder(Form1& form);
// The same after an error report or when the window closes, except while the setup
// program runs: then the folder is left to a later start-up's leftover rule rather than
// delete files the setup is reading.
void LeaveRunFolder(Form1& form);
// Start-up: removes every leftover run folder; raises nothing.
void RemoveLeftoverRunFolders(Form1& form);
