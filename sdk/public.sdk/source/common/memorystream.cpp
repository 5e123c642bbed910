#include "public.sdk/source/common/memorystream.h"

#include <cstdlib>
#include <cstring>

namespace Steinberg {

MemoryStream::MemoryStream() {}

MemoryStream::MemoryStream(void* mem, TSize memorySize)
: memory(static_cast<char*>(mem))
, capacity(mem && memorySize > 0 ? memorySize : 0)
, size(capacity)
, ownMemory(false)
{
}

MemoryStream::~MemoryStream()
{
	if (ownMemory)
		std::free(memory);
}

IMPLEMENT_REFCOUNT(MemoryStream)

tresult PLUGIN_API MemoryStream::queryInterface(const TUID _iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	QUERY_INTERFACE(_iid, obj, FUnknown::iid, IBStream)
	QUERY_INTERFACE(_iid, obj, IBStream::iid, IBStream)
	QUERY_INTERFACE(_iid, obj, ISizeableStream::iid, ISizeableStream)
	*obj = nullptr;
	return kNoInterface;
}

bool MemoryStream::reserve(TSize wanted)
{
	if (wanted <= capacity)
		return true;
	if (!ownMemory)
		return false;
	TSize newCapacity = capacity < 256 ? 256 : capacity;
	while (newCapacity < wanted)
		newCapacity = newCapacity > kMaxInt64 / 2 ? wanted : newCapacity * 2;
	char* grown = static_cast<char*>(std::realloc(memory, static_cast<size_t>(newCapacity)));
	if (!grown)
		return false;
	memory = grown;
	capacity = newCapacity;
	return true;
}

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
	if (numBytesRead)
		*numBytesRead = 0;
	if (numBytes < 0 || (numBytes > 0 && !buffer))
		return kInvalidArgument;
	int64 available = size - cursor;
	if (available < 0)
		available = 0;
	const int32 count = available < numBytes ? static_cast<int32>(available) : numBytes;
	if (count > 0)
	{
		std::memcpy(buffer, memory + cursor, static_cast<size_t>(count));
		cursor += count;
	}
	if (numBytesRead)
		*numBytesRead = count;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
	if (numBytesWritten)
		*numBytesWritten = 0;
	if (numBytes < 0 || (numBytes > 0 && !buffer))
		return kInvalidArgument;
	if (numBytes == 0)
		return kResultOk;
	if (cursor > kMaxInt64 - numBytes)
		return kInvalidArgument;
	const int64 end = cursor + numBytes;
	if (!reserve(end))
		return ownMemory ? kOutOfMemory : kResultFalse;
	if (cursor > size) // a seek went past the end: the gap reads as zeros
		std::memset(memory + size, 0, static_cast<size_t>(cursor - size));
	std::memcpy(memory + cursor, buffer, static_cast<size_t>(numBytes));
	cursor = end;
	if (end > size)
		size = end;
	if (numBytesWritten)
		*numBytesWritten = numBytes;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result)
{
	int64 base = 0;
	switch (mode)
	{
		case kIBSeekSet: base = 0; break;
		case kIBSeekCur: base = cursor; break;
		case kIBSeekEnd: base = size; break;
		default: return kInvalidArgument;
	}
	if ((pos > 0 && base > kMaxInt64 - pos) || base + pos < 0)
		return kInvalidArgument;
	cursor = base + pos;
	if (result)
		*result = cursor;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos)
{
	if (!pos)
		return kInvalidArgument;
	*pos = cursor;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::getStreamSize(int64& outSize)
{
	outSize = size;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::setStreamSize(int64 newSize)
{
	if (newSize < 0)
		return kInvalidArgument;
	return setSize(newSize) ? kResultOk : kResultFalse;
}

bool MemoryStream::setSize(TSize newSize)
{
	if (newSize < 0 || !reserve(newSize))
		return false;
	if (newSize > size)
		std::memset(memory + size, 0, static_cast<size_t>(newSize - size));
	size = newSize;
	return true;
}

char* MemoryStream::detachData()
{
	if (!ownMemory)
		return nullptr;
	char* data = memory;
	memory = nullptr;
	capacity = size = 0;
	cursor = 0;
	return data;
}

bool MemoryStream::truncateToCursor()
{
	if (cursor >= size)
		return true;
	size = cursor;
	return true;
}

} // namespace Steinberg
