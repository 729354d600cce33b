// Date-time values on the serialisation buffer: the date word, then the
// milliseconds, each one 32-bit little-endian value; eight bytes, no tag.
#pragma once
#include "codec/buffer.h"
#include "datetime/datetime.h"

CQVBuffer& operator<<(CQVBuffer& clBuffer, const CDateTimeBase& clDate);
// Both words or none: a short read leaves the value as it was (the
// buffer's read-failure flag tells).
CQVBuffer& operator>>(CQVBuffer& clBuffer, CDateTimeBase& clDate);
