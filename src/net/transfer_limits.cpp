#include "net/transfer_limits.h"

#include <mutex>

namespace kestrel {
namespace {

std::mutex& LimitsMutex() {
  static std::mutex mutex;
  return mutex;
}

TransferLimits& StoredLimits() {
  static TransferLimits limits;
  return limits;
}

}  // namespace

TransferLimits CurrentTransferLimits() {
  std::lock_guard lock(LimitsMutex());
  return StoredLimits();
}

void SetTransferLimits(const TransferLimits& limits) {
  std::lock_guard lock(LimitsMutex());
  StoredLimits() = limits;
}

}  // namespace kestrel
