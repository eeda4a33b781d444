#pragma once
// The transfer of one URL into one file, over the core's interfaces.
#include <cstdint>
#include <string>

#include "app/control_model.h"
#include "transfer/http_source.h"
#include "transfer/message_pump.h"
#include "transfer/output_file.h"

// Bytes asked for by each read: one bar step and one turn of the message pump per block.
inline constexpr std::uint32_t BufferSize = 3072;

// The bar's unit: a count of bytes in hundreds, rounded to the nearest, a tie going to
// the even one (50 gives 0, 150 gives 2, 250 gives 2).
int Hundreds(std::uint32_t count);

struct TransferSystem {
  HttpSource& http;
  OutputFiles& files;
  MessagePump& pump;
};

// What Downloader::GetInetFile promises. The bar's range becomes 0 to the hundreds of
// the Content-Length, and each block steps it by the hundreds of its bytes; without a
// Content-Length the range is left as it is.
bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                 ProgressBar& Progress, const TransferSystem& system);
