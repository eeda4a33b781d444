#pragma once
// A progress bar that keeps its range and position itself and tells the control only
// about changes that alter what it draws, and those at most once a frame. A download
// steps the bar once per read of at most BufferSize (transfer/read_size.h); under Wine a
// redraw costs 1 to 4 ms, ten times and more what the read itself costs.
#include <cstdint>

#include "transfer/progress_bar.h"

class SparingProgressBar : public ProgressBar {
 public:
  // The shortest time between two steps passed on to the control: 25 redraws a second
  // still move smoothly.
  static constexpr std::uint64_t kFrameMs = 40;

  // Starts from the range 0..max and the position the control holds now.
  SparingProgressBar(int max, int position);

  // The range and position as the control clamps them: a position beyond Max is Max,
  // one below 0 is 0, and a new Max pulls the position inside it. An explicit range or
  // position is always passed on, so the control ends exact; a step only when it changes
  // the filled width, and within a frame of the last one told, a frame after it.
  void SetMax(int max) override;
  void SetPosition(int position) override;
  void StepBy(int delta) override;

  // Passes on a step held back by the frame; what FlushLater asks for.
  void Flush();

  int Max() const { return max_; }
  int Position() const { return position_; }

 protected:
  // The width in pixels across which the control draws its range; 0 when not shown.
  virtual int DrawnWidth() const = 0;
  // A millisecond clock that only moves forward.
  virtual std::uint64_t NowMs() const = 0;
  // Asks for one call of Flush() after `delay_ms`, from the GUI thread's message loop.
  virtual void FlushLater(std::uint64_t delay_ms) = 0;
  virtual void TellRange(int max) = 0;
  virtual void TellPosition(int position) = 0;

 private:
  int Clamp(long long position) const;
  long long Filled(int position, int width) const;
  void Tell(int position);

  int max_;
  int position_;
  int told_position_;  // what the control holds; trails position_ by at most a frame's steps
  bool told_ = false;
  std::uint64_t told_at_ = 0;
  bool flush_pending_ = false;
};
