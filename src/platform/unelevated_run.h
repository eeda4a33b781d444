#pragma once
// Whether the person's own user-mode run of the platform, where they then work for hours,
// can start with the desktop shell's token rather than the utility's elevated one.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What the utility learned of the desktop shell (Explorer) of its session.
struct DesktopShell {
  bool found = false;         // a shell window, its process and its token could be read
  bool same_account = false;  // the shell runs as the account the utility runs as
  bool elevated = false;      // the shell's token is an elevated one
};

// CreateProcessWithTokenW takes a command line of at most this many characters, far
// fewer than the command processor's limit.
inline constexpr std::size_t kTokenCommandLineLimit = 1024;

// The command line the run is started with: the command processor's full path in quotes,
// then its parameters.
std::wstring ProcessorCommandLine(const std::wstring& processor, const std::wstring& processor_parameters);

// Whether the base is the person's: a server base, or a file base whose folder lies inside
// `profile` (forward slashes read as backslashes; a ".." on the way is not inside).
bool BaseIsThePersons(bool server_base, const std::wstring& base_folder, const std::wstring& profile);

// Why the run must start as today, with the utility's token, for the run log; nothing when
// it can start unelevated. An administrator who typed their password for someone else
// runs as an account that is not the shell's: the base is theirs, as start-up asked.
std::optional<std::wstring> WhyNotUnelevated(const DesktopShell& shell, bool base_is_persons,
                                             std::size_t command_line_length);

// The steps that start a command with the desktop shell's token, the technique browsers
// use. Each gives nothing when it worked, otherwise the system's reason; a step works on
// what the step before it opened, which the steps keep.
class ShellTokenSteps {
 public:
  virtual ~ShellTokenSteps() = default;
  // GetShellWindow, and the id of the process that owns the window.
  virtual std::optional<std::wstring> FindShell(std::uint32_t& process_id) = 0;
  virtual std::optional<std::wstring> OpenShellProcess(std::uint32_t process_id) = 0;
  virtual std::optional<std::wstring> OpenShellToken() = 0;
  // A primary token, which CreateProcessWithTokenW needs.
  virtual std::optional<std::wstring> DuplicateShellToken() = 0;
  // CreateProcessWithTokenW of `processor` with `command_line`, hidden.
  virtual std::optional<std::wstring> StartWithShellToken(const std::wstring& processor,
                                                          const std::wstring& command_line) = 0;
};

// Runs the steps in order, up to the first that fails; nothing when the command started,
// otherwise which step failed and why, and nothing was started.
std::optional<std::wstring> RunWithShellToken(ShellTokenSteps& steps, const std::wstring& processor,
                                              const std::wstring& processor_parameters);
