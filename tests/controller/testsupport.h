#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/iupdatehandler.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

using namespace Steinberg;
using namespace Steinberg::Vst;

// Read-only stream over a byte vector; lives on the stack.
class ByteStream : public IBStream
{
public:
	explicit ByteStream (std::vector<uint8> bytes) : data (std::move (bytes)) {}

	tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
	{
		int32 n = 0;
		if (numBytes > 0 && buffer)
		{
			n = static_cast<int32> (
			    std::min<size_t> (static_cast<size_t> (numBytes), data.size () - pos));
			if (n > 0)
				std::memcpy (buffer, data.data () + pos, static_cast<size_t> (n));
			pos += static_cast<size_t> (n);
		}
		if (numBytesRead)
			*numBytesRead = n;
		return kResultOk;
	}
	tresult PLUGIN_API write (void*, int32, int32* written) override
	{
		if (written)
			*written = 0;
		return kResultFalse;
	}
	tresult PLUGIN_API seek (int64, int32, int64*) override { return kNotImplemented; }
	tresult PLUGIN_API tell (int64* p) override
	{
		if (p)
			*p = static_cast<int64> (pos);
		return kResultOk;
	}
	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

	size_t position () const { return pos; }

private:
	std::vector<uint8> data;
	size_t pos = 0;
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

inline std::u16string toUtf16 (const std::string& s)
{
	return std::u16string (s.begin (), s.end ());
}

} // namespace testsupport
