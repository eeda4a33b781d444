#pragma once
// The end of a download or an extraction that the user gave up by closing the window.
#include <exception>

// Raised by either when a quit request was taken up while it ran. It is not an
// Error: nothing failed, so the handler boundary lets it pass without an error report,
// and the stage chain stops where it stands, since every stage lets it through.
class TransferAbandoned : public std::exception {
 public:
  const char* what() const noexcept override { return "The transfer was abandoned"; }
};
