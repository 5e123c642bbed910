#include "base/source/fstreamer.h"

#include <cstring>

namespace Steinberg {

namespace {
void reverseBytes(uint8* bytes, int32 width)
{
	for (int32 i = 0, j = width - 1; i < j; ++i, --j)
	{
		const uint8 t = bytes[i];
		bytes[i] = bytes[j];
		bytes[j] = t;
	}
}
} // namespace

IBStreamer::IBStreamer(IBStream* s, int16 order) : stream(s), byteOrder(order) {}

bool IBStreamer::writeItem(const void* value, int32 width)
{
	uint8 bytes[8];
	std::memcpy(bytes, value, static_cast<size_t>(width));
	if (byteOrder != BYTEORDER)
		reverseBytes(bytes, width);
	return writeRaw(bytes, width) == width;
}

bool IBStreamer::readItem(void* value, int32 width)
{
	uint8 bytes[8];
	if (readRaw(bytes, width) != width)
		return false;
	if (byteOrder != BYTEORDER)
		reverseBytes(bytes, width);
	std::memcpy(value, bytes, static_cast<size_t>(width));
	return true;
}

TSize IBStreamer::writeRaw(const void* buffer, TSize size)
{
	if (!stream || !buffer || size <= 0 || size > kMaxInt32)
		return 0;
	int32 written = 0;
	if (stream->write(const_cast<void*>(buffer), static_cast<int32>(size), &written) != kResultOk)
		return 0;
	return (written < 0 || written > size) ? 0 : written;
}

TSize IBStreamer::readRaw(void* buffer, TSize size)
{
	if (!stream || !buffer || size <= 0 || size > kMaxInt32)
		return 0;
	int32 numRead = 0;
	if (stream->read(buffer, static_cast<int32>(size), &numRead) != kResultOk)
		return 0;
	return (numRead < 0 || numRead > size) ? 0 : numRead;
}

int64 IBStreamer::seek(int64 pos, FSeekMode mode)
{
	if (!stream)
		return -1;
	int64 result = -1;
	if (stream->seek(pos, static_cast<int32>(mode), &result) != kResultOk)
		return -1;
	return result;
}

int64 IBStreamer::tell()
{
	if (!stream)
		return -1;
	int64 pos = -1;
	if (stream->tell(&pos) != kResultOk)
		return -1;
	return pos;
}

bool IBStreamer::writeChar8(char8 c) { return writeItem(&c, 1); }
bool IBStreamer::readChar8(char8& c) { return readItem(&c, 1); }
bool IBStreamer::writeUChar8(unsigned char c) { return writeItem(&c, 1); }
bool IBStreamer::readUChar8(unsigned char& c) { return readItem(&c, 1); }
bool IBStreamer::writeChar16(char16 c) { return writeItem(&c, 2); }
bool IBStreamer::readChar16(char16& c) { return readItem(&c, 2); }

bool IBStreamer::writeInt8(int8 c) { return writeItem(&c, 1); }
bool IBStreamer::readInt8(int8& c) { return readItem(&c, 1); }
bool IBStreamer::writeInt8u(uint8 c) { return writeItem(&c, 1); }
bool IBStreamer::readInt8u(uint8& c) { return readItem(&c, 1); }

bool IBStreamer::writeInt16(int16 i) { return writeItem(&i, 2); }
bool IBStreamer::readInt16(int16& i) { return readItem(&i, 2); }
bool IBStreamer::writeInt16u(uint16 i) { return writeItem(&i, 2); }
bool IBStreamer::readInt16u(uint16& i) { return readItem(&i, 2); }

bool IBStreamer::writeInt32(int32 i) { return writeItem(&i, 4); }
bool IBStreamer::readInt32(int32& i) { return readItem(&i, 4); }
bool IBStreamer::writeInt32u(uint32 i) { return writeItem(&i, 4); }
bool IBStreamer::readInt32u(uint32& i) { return readItem(&i, 4); }

bool IBStreamer::writeInt64(int64 i) { return writeItem(&i, 8); }
bool IBStreamer::readInt64(int64& i) { return readItem(&i, 8); }
bool IBStreamer::writeInt64u(uint64 i) { return writeItem(&i, 8); }
bool IBStreamer::readInt64u(uint64& i) { return readItem(&i, 8); }

bool IBStreamer::writeFloat(float f) { return writeItem(&f, 4); }
bool IBStreamer::readFloat(float& f) { return readItem(&f, 4); }
bool IBStreamer::writeDouble(double d) { return writeItem(&d, 8); }
bool IBStreamer::readDouble(double& d) { return readItem(&d, 8); }

bool IBStreamer::writeBool(bool b)
{
	return writeInt16(b ? 1 : 0);
}

bool IBStreamer::readBool(bool& b)
{
	int16 v = 0;
	if (!readInt16(v))
		return false;
	b = v != 0;
	return true;
}

} // namespace Steinberg
