#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/iupdatehandler.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/common/memorystream.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

using namespace Steinberg;
using namespace Steinberg::Vst;

// Stream over a copy of some bytes; lives on the stack.
struct Bytes
{
	std::vector<uint8> data;
};
class ByteStream : private Bytes, public MemoryStream
{
public:
	explicit ByteStream (std::vector<uint8> bytes)
	: Bytes {std::move (bytes)}, MemoryStream (data.data (), static_cast<TSize> (data.size ()))
	{
	}
	size_t position ()
	{
		int64 pos = -1;
		tell (&pos);
		return static_cast<size_t> (pos);
	}
};

// Builds the 140-byte processor state record (little-endian host).
struct RecordBytes
{
	int64 reserved = 0;
	int32 bypass = 0;
	double values[14] = {};
	int32 flags[4] = {};

	std::vector<uint8> bytes () const
	{
		std::vector<uint8> out;
		auto put = [&] (const void* p, size_t n) {
			auto b = static_cast<const uint8*> (p);
			out.insert (out.end (), b, b + n);
		};
		put (&reserved, 8);
		put (&bypass, 4);
		for (double v : values)
			put (&v, 8);
		for (int32 f : flags)
			put (&f, 4);
		return out;
	}
};

// Counts change notifications of the objects it is attached to.
class UpdateRecorder : public IDependent
{
public:
	void PLUGIN_API update (FUnknown* changed, int32 message) override
	{
		senders.push_back (changed);
		messages.push_back (message);
	}
	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

	std::vector<FUnknown*> senders;
	std::vector<int32> messages;
};

// Host side of edits, with a reference count to check ownership.
class RecordingHandler : public IComponentHandler
{
public:
	tresult PLUGIN_API beginEdit (ParamID id) override
	{
		log.push_back ("begin " + std::to_string (id));
		return kResultOk;
	}
	tresult PLUGIN_API performEdit (ParamID id, ParamValue v) override
	{
		log.push_back ("perform " + std::to_string (id) + " " + std::to_string (v));
		return kResultOk;
	}
	tresult PLUGIN_API endEdit (ParamID id) override
	{
		log.push_back ("end " + std::to_string (id));
		return kResultOk;
	}
	tresult PLUGIN_API restartComponent (int32) override { return kResultOk; }
	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr; // only ever queried for optional interfaces
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return static_cast<uint32> (++refs); }
	uint32 PLUGIN_API release () override { return static_cast<uint32> (--refs); }

	int32 refs = 1;
	std::vector<std::string> log;
};

inline std::string toAscii (const TChar* s)
{
	std::string out;
	for (int i = 0; i < 128 && s[i]; ++i)
		out.push_back (s[i] < 0x80 ? static_cast<char> (s[i]) : '?');
	return out;
}

} // namespace testsupport
