// MemoryStream: an IBStream over a growable own buffer or a fixed external one.
#pragma once

#include "pluginterfaces/base/ibstream.h"

namespace Steinberg {

class MemoryStream : public IBStream, public ISizeableStream
{
public:
	// Empty stream with its own buffer that grows on writes.
	MemoryStream();
	// Stream over memorySize bytes the caller owns: all of them are readable content,
	// writes may not go past the end.
	MemoryStream(void* memory, TSize memorySize);
	virtual ~MemoryStream();

	MemoryStream(const MemoryStream&) = delete;
	MemoryStream& operator=(const MemoryStream&) = delete;

	// IBStream
	tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead = nullptr) SMTG_OVERRIDE;
	tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten = nullptr) SMTG_OVERRIDE;
	tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result = nullptr) SMTG_OVERRIDE;
	tresult PLUGIN_API tell(int64* pos) SMTG_OVERRIDE;

	// ISizeableStream
	tresult PLUGIN_API getStreamSize(int64& size) SMTG_OVERRIDE;
	tresult PLUGIN_API setStreamSize(int64 size) SMTG_OVERRIDE;

	TSize getSize() const { return size; }
	// Content size; grows or shrinks (own buffer) or up to the fixed capacity.
	bool setSize(TSize newSize);
	char* getData() const { return memory; }
	// Hands the own buffer (malloc'ed) to the caller and leaves the stream empty;
	// null for an external buffer.
	char* detachData();
	// Drops everything after the cursor.
	bool truncateToCursor();

	DECLARE_FUNKNOWN_METHODS

protected:
	bool reserve(TSize capacity);

	char* memory = nullptr;
	TSize capacity = 0;
	TSize size = 0;
	int64 cursor = 0;
	bool ownMemory = true;
};

} // namespace Steinberg
