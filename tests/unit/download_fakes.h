#pragma once
// Test doubles for the transfer: a scripted server, files in memory, a bar that clamps
// like the real control, and a pump that counts its turns.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "base/error.h"
#include "memory_files.h"
#include "transfer/get_inet_file.h"
#include "transfer/tick_clock.h"

// Moves only when told to, or by `per_look` at every reading (work that takes time).
class FakeTickClock : public TickClock {
 public:
  std::uint64_t now_ms = 0;
  std::uint64_t per_look = 0;
  std::uint64_t NowMs() override { return now_ms += per_look; }
};

// From `from` bytes into the body on, each read delivers at most `piece` bytes and takes
// `read_ms` on the rig's clock.
struct Pace {
  size_t from;
  std::uint32_t piece;
  std::uint64_t read_ms;
};

// One response, played back. The body comes in pieces of the size asked for, or of
// `piece` bytes when that is smaller (a chunked server hands out less at a time).
struct ScriptedResponse {
  bool no_response = false;
  std::wstring no_response_reason;
  unsigned status = 200;
  std::optional<std::uint64_t> content_length;
  // When not empty, the Content-Length lines exactly as sent, in place of content_length.
  std::vector<std::wstring> content_length_lines;
  std::wstring location;
  std::string body;
  std::uint32_t piece = 1u << 30;
  // The read that would deliver bytes past this offset fails instead.
  std::optional<size_t> fails_at;
  std::wstring read_failure;
  std::vector<Pace> paces;  // in order of `from`; none: no time passes. The empty read at
                            // the end takes its time too.
  std::wstring etag, last_modified, content_range, retry_after;
  bool transient = false;  // of a no_response: another attempt may fare better
  // For a 407, the person's answers in turn, each with the status the request sent again
  // then gets (the body is `body` whatever it is); once they are used up, cancelled.
  std::vector<std::pair<ProxyLogin, unsigned>> proxy_logins;
  std::wstring proxy_name;
};

class ScriptedHttp : public HttpSource {
 public:
  ScriptedResponse next;
  // The answer for one address; any other address gets `next`.
  std::map<std::wstring, ScriptedResponse> at;
  // When not empty, the answers to the requests in turn, whatever their address; `next`
  // once they are used up.
  std::vector<ScriptedResponse> turns;
  std::vector<std::wstring> requested;
  std::vector<HttpRequest> requests;
  std::vector<std::uint32_t> read_sizes;
  int open_responses = 0;
  int proxy_logins_asked = 0;
  FakeTickClock* clock = nullptr;  // moved by paced reads

  std::unique_ptr<HttpResponse> Get(const HttpRequest& request, HttpFailure& failure) override {
    const std::wstring& url = request.url;
    requested.push_back(url);
    requests.push_back(request);
    const auto found = at.find(url);
    const std::size_t turn = requests.size() - 1;
    const ScriptedResponse& script = turn < turns.size() ? turns[turn] : found == at.end() ? next : found->second;
    if (script.no_response) {
      failure.reason = script.no_response_reason;
      failure.transient = script.transient;
      return nullptr;
    }
    return std::make_unique<Response>(*this, script);
  }

 private:
  class Response : public HttpResponse {
   public:
    Response(ScriptedHttp& http, const ScriptedResponse& script)
        : http_(http), script_(script), status_(script.status) {
      ++http_.open_responses;
    }
    ~Response() override { --http_.open_responses; }
    unsigned StatusCode() const override { return status_; }
    ProxyLogin LogInToProxy(HttpFailure& failure) override {
      ++http_.proxy_logins_asked;
      if (logins_ == script_.proxy_logins.size()) return ProxyLogin::cancelled;
      const auto [answer, status] = script_.proxy_logins[logins_++];
      if (answer == ProxyLogin::failed) failure = HttpFailure{L"The connection was reset", true};
      if (answer == ProxyLogin::resent) status_ = status;
      return answer;
    }
    std::wstring ProxyName() const override { return script_.proxy_name; }
    std::vector<std::wstring> ContentLengths() const override {
      if (!script_.content_length_lines.empty()) return script_.content_length_lines;
      if (!script_.content_length) return {};
      return {std::to_wstring(*script_.content_length)};
    }
    std::wstring Location() const override { return script_.location; }
    std::wstring Header(ResumeHeader which) const override {
      switch (which) {
        case ResumeHeader::etag: return script_.etag;
        case ResumeHeader::last_modified: return script_.last_modified;
        case ResumeHeader::content_range: return script_.content_range;
        case ResumeHeader::retry_after: return script_.retry_after;
      }
      return {};
    }
    bool Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& delivered,
              std::wstring& reason) override {
      const ScriptedResponse& r = script_;
      http_.read_sizes.push_back(size);
      delivered = 0;
      std::uint32_t piece = r.piece;
      std::uint64_t read_ms = 0;
      for (const Pace& pace : r.paces) {
        if (pace.from > offset_) break;
        piece = pace.piece;
        read_ms = pace.read_ms;
      }
      if (http_.clock) http_.clock->now_ms += read_ms;
      const size_t n = std::min<size_t>({size, piece, r.body.size() - offset_});
      if (r.fails_at && offset_ + std::max<size_t>(n, 1) > *r.fails_at) {
        reason = r.read_failure;
        return false;
      }
      std::memcpy(buffer, r.body.data() + offset_, n);
      offset_ += n;
      delivered = static_cast<std::uint32_t>(n);
      return true;
    }

   private:
    ScriptedHttp& http_;
    const ScriptedResponse& script_;
    unsigned status_;
    std::size_t logins_ = 0;
    size_t offset_ = 0;
  };
};

// Keeps range and position as the control does: the position always inside 0..Max.
class ClampingBar : public ProgressBar {
 public:
  int max = 100;
  int position = 0;
  std::vector<int> maxima;
  std::vector<int> steps;
  std::vector<int> positions_after_step;

  void SetMax(int m) override {
    maxima.push_back(m);
    max = m;
    position = std::clamp(position, 0, max);
  }
  void SetPosition(int p) override { position = std::clamp(p, 0, max); }
  void StepBy(int d) override {
    steps.push_back(d);
    position = static_cast<int>(std::clamp<long long>(static_cast<long long>(position) + d, 0, max));
    positions_after_step.push_back(position);
  }
};

// Counts its turns; from turn `quit_at_turn` on it reports a quit request taken up, as
// when the window is closed during a transfer.
class CountingPump : public MessagePump {
 public:
  int turns = 0;
  std::optional<int> quit_at_turn;
  bool HandlePending() override {
    ++turns;
    return quit_at_turn && turns >= *quit_at_turn;
  }
};

// Takes no time of its own: moves the rig's clock by the pause and keeps what it waited;
// from pause `quit_at_pause` on, the window is closed during it.
class RecordingPause : public AttemptPause {
 public:
  std::vector<std::uint64_t> waits_ms;
  std::optional<std::size_t> quit_at_pause;
  FakeTickClock* clock = nullptr;
  bool Wait(std::uint64_t ms) override {
    waits_ms.push_back(ms);
    if (clock) clock->now_ms += ms;
    return quit_at_pause && waits_ms.size() >= *quit_at_pause;
  }
};

// Keeps what the transfer told, in order: "note <line>", "pausing <next>/<of>", "flowing".
class RecordingEvents : public TransferEvents {
 public:
  std::vector<std::wstring> told;
  void Note(const std::wstring& line) override { told.push_back(L"note " + line); }
  void Pausing(int next, int attempts) override {
    told.push_back(L"pausing " + std::to_wstring(next) + L"/" + std::to_wstring(attempts));
  }
  void Flowing() override { told.push_back(L"flowing"); }
};

// A body whose bytes differ from block to block, so a lost or repeated block shows.
inline std::string PatternBody(size_t size) {
  std::string body(size, '\0');
  std::uint32_t x = 2463534242u;
  for (char& c : body) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return body;
}

// A stand-in for the vendor's key: its "digest" keeps every byte hashed (the first 32 as
// they are, the rest folded in), and it vouches only for `signed_body` with `signature`.
class FakeVerifier : public PayloadVerifier {
 public:
  std::string signed_body;
  RawSignature signature{};
  int hashes = 0;

  static Sha256Digest DigestOf(const std::string& body) {
    Sha256Digest digest{};
    for (std::size_t i = 0; i < body.size(); ++i) {
      digest[i % 32] = static_cast<unsigned char>(digest[i % 32] * 31 + static_cast<unsigned char>(body[i]));
    }
    digest[0] ^= static_cast<unsigned char>(body.size());
    return digest;
  }
  std::unique_ptr<BodyHash> NewHash() override {
    ++hashes;
    return std::make_unique<Hash>();
  }
  bool Verify(const Sha256Digest& digest, const RawSignature& raw) override {
    return raw == signature && digest == DigestOf(signed_body);
  }

 private:
  class Hash : public BodyHash {
   public:
    void Add(const unsigned char* data, std::size_t size) override { body_.append(reinterpret_cast<const char*>(data), size); }
    Sha256Digest Finish() override { return DigestOf(body_); }

   private:
    std::string body_;
  };
};

// Everything one transfer needs, wired together.
struct TransferRig {
  ScriptedHttp http;
  MemoryFiles files;
  CountingPump pump;
  ClampingBar bar;
  FakeTickClock clock;
  DownloadFacts facts;
  RecordingPause pause;
  RecordingEvents events;
  // One attempt unless a test asks for more: a single attempt's rules read plainly.
  TransferSystem system{http, files, pump, clock, facts, pause, &events, RetryPlan{1, {2000, 4000, 8000, 16000}, 30000}};

  TransferRig() {
    http.clock = &clock;
    pause.clock = &clock;
  }

  bool Run(const std::wstring& url = L"http://127.0.0.1:47831/resources/database.cf",
           const std::wstring& path = L"C:\\Users\\tester\\Documents\\Kalvera1C\\database.cf") {
    return GetInetFile(url, path, bar, system);
  }
  std::unique_ptr<ArchiveInput> RunOpen(const std::wstring& url, const std::wstring& path) {
    return GetInetFileOpen(url, path, bar, system);
  }
  // The text of the error the transfer raises; a failure of the test when it raises none.
  std::wstring Raised(const std::wstring& url, const std::wstring& path) {
    try {
      Run(url, path);
    } catch (const Error& e) {
      return e.text();
    }
    ADD_FAILURE() << "no error raised";
    return L"";
  }
};
