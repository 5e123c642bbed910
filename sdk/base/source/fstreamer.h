// IBStreamer: typed reads and writes on an IBStream in a chosen byte order.
#pragma once

#include "pluginterfaces/base/ibstream.h"

namespace Steinberg {

enum FSeekMode
{
	kSeekSet = 0,
	kSeekCurrent = 1,
	kSeekEnd = 2
};

// Every typed read or write succeeds only when the item's full width was transferred.
// A short read is not undone: the bytes it consumed stay consumed.
class IBStreamer
{
public:
	explicit IBStreamer(IBStream* stream, int16 byteOrder = BYTEORDER);

	IBStream* getStream() const { return stream; }
	int16 getByteOrder() const { return byteOrder; }
	void setByteOrder(int32 e) { byteOrder = static_cast<int16>(e); }

	bool writeChar8(char8 c);
	bool readChar8(char8& c);
	bool writeUChar8(unsigned char c);
	bool readUChar8(unsigned char& c);
	bool writeChar16(char16 c);
	bool readChar16(char16& c);

	bool writeInt8(int8 c);
	bool readInt8(int8& c);
	bool writeInt8u(uint8 c);
	bool readInt8u(uint8& c);

	bool writeInt16(int16 i);
	bool readInt16(int16& i);
	bool writeInt16u(uint16 i);
	bool readInt16u(uint16& i);

	bool writeInt32(int32 i);
	bool readInt32(int32& i);
	bool writeInt32u(uint32 i);
	bool readInt32u(uint32& i);

	bool writeInt64(int64 i);
	bool readInt64(int64& i);
	bool writeInt64u(uint64 i);
	bool readInt64u(uint64& i);

	bool writeFloat(float f);
	bool readFloat(float& f);
	bool writeDouble(double d);
	bool readDouble(double& d);

	// A bool travels as a 16-bit integer, 1 or 0; any non-zero value reads as true.
	bool writeBool(bool b);
	bool readBool(bool& b);

	// Raw transfer; returns the number of bytes moved (0 on failure).
	TSize writeRaw(const void* buffer, TSize size);
	TSize readRaw(void* buffer, TSize size);

	// Returns the new position, or -1 if the stream refused.
	int64 seek(int64 pos, FSeekMode mode);
	int64 tell();

protected:
	bool writeItem(const void* value, int32 width);
	bool readItem(void* value, int32 width);

	IBStream* stream;
	int16 byteOrder;
};

} // namespace Steinberg
