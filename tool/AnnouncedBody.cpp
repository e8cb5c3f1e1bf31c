#include "tool/AnnouncedBody.h"

bool AnnouncedBody::Accept(uint64_t size) {
  if (size > announced_ - received_) return false;
  received_ += size;
  return true;
}
