#pragma once

#include <cstddef>

namespace kestrel {

// Time-outs and size caps of the transfers. The defaults suit the program; tests lower them so
// that a stalled server is given up on quickly.
struct TransferLimits {
  long connect_timeout_seconds = 30;
  // Bodies gathered in memory (feeds, directory pages, API answers): an audio stream pasted where
  // a feed belongs, or a server that stops sending, must not hold or exhaust the program.
  std::size_t max_memory_body_bytes = 10 * 1024 * 1024;
  long memory_stall_seconds = 30;
  long memory_total_seconds = 120;
  // Downloads to disk may be long, but a server that sends nothing for this long has failed.
  long download_stall_seconds = 60;
  // Redirections followed automatically by the transfers that do not count them themselves.
  long automatic_redirect_limit = 10;
};

TransferLimits CurrentTransferLimits();
void SetTransferLimits(const TransferLimits& limits);

}  // namespace kestrel
