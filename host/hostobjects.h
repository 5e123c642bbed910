// Host-side implementations of the interfaces a plug-in calls back into.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstattributes.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "public.sdk/source/common/memorystream.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tolvarhost {

using namespace Steinberg;

// True when the 16 bytes of iid equal the identifier of interface I.
template <class I>
bool isIid (const TUID iid)
{
	TUID own;
	I::iid.toTUID (own);
	return std::memcmp (iid, own, sizeof (TUID)) == 0;
}

// Owning pointer to a reference-counted interface: releases once on reset.
template <class T>
class Ref
{
public:
	Ref () = default;
	explicit Ref (T* adopted) : ptr (adopted) {}
	Ref (const Ref&) = delete;
	Ref& operator= (const Ref&) = delete;
	Ref (Ref&& o) noexcept : ptr (o.ptr) { o.ptr = nullptr; }
	Ref& operator= (Ref&& o) noexcept
	{
		if (this != &o)
		{
			reset ();
			ptr = o.ptr;
			o.ptr = nullptr;
		}
		return *this;
	}
	~Ref () { reset (); }

	void reset (T* adopted = nullptr)
	{
		if (ptr)
			ptr->release ();
		ptr = adopted;
	}
	T* get () const { return ptr; }
	T* operator-> () const { return ptr; }
	explicit operator bool () const { return ptr != nullptr; }
	// Hands out the address for out-parameters (createInstance, queryInterface).
	void** out ()
	{
		reset ();
		return reinterpret_cast<void**> (&ptr);
	}

private:
	T* ptr = nullptr;
};

// Asks obj for interface I; null when not answered.
template <class I>
Ref<I> queryAs (FUnknown* obj)
{
	Ref<I> r;
	if (obj)
	{
		TUID id;
		I::iid.toTUID (id);
		if (obj->queryInterface (id, r.out ()) != kResultOk)
			r.reset ();
	}
	return r;
}

// Shared reference counting for the host objects below.
class RefCount
{
public:
	virtual ~RefCount () = default;
	uint32 addRefImpl () { return ++count; }
	uint32 releaseImpl ()
	{
		uint32 c = --count;
		if (c == 0)
			delete this;
		return c;
	}

private:
	uint32 count = 1;
};

// A host object implementing the one interface I: answers FUnknown and I.
template <class I>
class HostObject : public I, public RefCount
{
public:
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (!obj)
			return kInvalidArgument;
		if (isIid<FUnknown> (iid) || isIid<I> (iid))
		{
			*obj = static_cast<I*> (this);
			addRef ();
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return addRefImpl (); }
	uint32 PLUGIN_API release () override { return releaseImpl (); }
};

//------------------------------------------------------------------------
class ParamValueQueue : public HostObject<Vst::IParamValueQueue>
{
public:
	explicit ParamValueQueue (Vst::ParamID id) : paramId (id) { points.reserve (16); }

	Vst::ParamID PLUGIN_API getParameterId () override { return paramId; }
	int32 PLUGIN_API getPointCount () override { return static_cast<int32> (points.size ()); }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, Vst::ParamValue& value) override;
	tresult PLUGIN_API addPoint (int32 sampleOffset, Vst::ParamValue value, int32& index) override;

private:
	struct Point
	{
		int32 offset;
		Vst::ParamValue value;
	};
	Vst::ParamID paramId;
	std::vector<Point> points;
};

//------------------------------------------------------------------------
class ParameterChanges : public HostObject<Vst::IParameterChanges>
{
public:
	ParameterChanges () = default;
	~ParameterChanges () override;

	int32 PLUGIN_API getParameterCount () override { return static_cast<int32> (queues.size ()); }
	Vst::IParamValueQueue* PLUGIN_API getParameterData (int32 index) override;
	Vst::IParamValueQueue* PLUGIN_API addParameterData (const Vst::ParamID& id, int32& index) override;

	// Drops every queue (between blocks).
	void clear ();
	// Adds a queue without any point (used to test plug-ins with empty queues).
	void addEmptyQueue (Vst::ParamID id);

private:
	std::vector<ParamValueQueue*> queues;
};

//------------------------------------------------------------------------
// Growable memory stream with a single read/write position. A write limit
// makes it refuse to grow past that many bytes (to test failing writes): a
// write that reaches the limit is cut short there.
class HostStream : public MemoryStream
{
public:
	HostStream () = default;
	explicit HostStream (const std::vector<uint8_t>& initial);

	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override;
	tresult PLUGIN_API setStreamSize (int64 size) override;

	std::vector<uint8_t> data () const { return std::vector<uint8_t> (memory, memory + size); }
	int64 position () const { return cursor; }
	void rewind () { cursor = 0; }
	void setWriteLimit (int64 limit) { writeLimit = limit; }

private:
	int64 writeLimit = -1;
};

//------------------------------------------------------------------------
class HostAttributeList : public HostObject<Vst::IAttributeList>
{
public:
	tresult PLUGIN_API setInt (AttrID id, int64 value) override;
	tresult PLUGIN_API getInt (AttrID id, int64& value) override;
	tresult PLUGIN_API setFloat (AttrID id, double value) override;
	tresult PLUGIN_API getFloat (AttrID id, double& value) override;
	tresult PLUGIN_API setString (AttrID id, const Vst::TChar* string) override;
	tresult PLUGIN_API getString (AttrID id, Vst::TChar* string, uint32 sizeInBytes) override;
	tresult PLUGIN_API setBinary (AttrID id, const void* data, uint32 sizeInBytes) override;
	tresult PLUGIN_API getBinary (AttrID id, const void*& data, uint32& sizeInBytes) override;

private:
	struct Value
	{
		enum Kind { kInt, kFloat, kString, kBinary } kind = kInt;
		int64 i = 0;
		double f = 0.0;
		std::u16string s;
		std::vector<uint8_t> b;
	};
	// An empty value of the kind, stored under id in place of any old one.
	Value& replace (AttrID id, Value::Kind kind);
	// The value under id if it is of the kind, else null.
	const Value* find (AttrID id, Value::Kind kind) const;

	std::map<std::string, Value> values;
};

//------------------------------------------------------------------------
class HostMessage : public HostObject<Vst::IMessage>
{
public:
	HostMessage ();
	~HostMessage () override;

	FIDString PLUGIN_API getMessageID () override { return hasId ? messageId.c_str () : nullptr; }
	void PLUGIN_API setMessageID (FIDString id) override;
	Vst::IAttributeList* PLUGIN_API getAttributes () override { return attributes; }

private:
	std::string messageId;
	bool hasId = false;
	HostAttributeList* attributes;
};

//------------------------------------------------------------------------
class HostApplication : public HostObject<Vst::IHostApplication>
{
public:
	tresult PLUGIN_API getName (Vst::String128 name) override;
	tresult PLUGIN_API createInstance (TUID cid, TUID iid, void** obj) override;
};

//------------------------------------------------------------------------
// Records what the controller reports; a host would forward the edits to the processor.
class ComponentHandler : public HostObject<Vst::IComponentHandler>
{
public:
	tresult PLUGIN_API beginEdit (Vst::ParamID id) override;
	tresult PLUGIN_API performEdit (Vst::ParamID id, Vst::ParamValue valueNormalized) override;
	tresult PLUGIN_API endEdit (Vst::ParamID id) override;
	tresult PLUGIN_API restartComponent (int32 flags) override;

	struct Edit
	{
		Vst::ParamID id;
		Vst::ParamValue value;
	};
	std::vector<Edit> edits;
	int32 openEdits = 0;
	int32 restartFlags = 0;

	// Told of every begin, perform and end as it arrives.
	enum class Step { begin, perform, end };
	std::function<void (Step, Vst::ParamID, Vst::ParamValue)> observer;
};

//------------------------------------------------------------------------
// Stands between two connection points, as hosts do; forwards messages to
// the peer it was made for while connected.
class ConnectionProxy : public HostObject<Vst::IConnectionPoint>
{
public:
	explicit ConnectionProxy (Vst::IConnectionPoint* source);
	~ConnectionProxy () override;

	tresult PLUGIN_API connect (Vst::IConnectionPoint* other) override;
	tresult PLUGIN_API disconnect (Vst::IConnectionPoint* other) override;
	tresult PLUGIN_API notify (Vst::IMessage* message) override;

	// Tells source about the proxy and remembers the destination.
	tresult link (Vst::IConnectionPoint* destination);
	tresult unlink ();

private:
	Vst::IConnectionPoint* source;
	Vst::IConnectionPoint* destination = nullptr;
};

//------------------------------------------------------------------------
// The host window's frame around a plug-in view, with the run loop a Linux host hands
// out through it. The loop turns only when asked: runTimers() is one round.
class PlugFrame : public IPlugFrame, public Linux::IRunLoop, public RefCount
{
public:
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override;
	uint32 PLUGIN_API addRef () override { return addRefImpl (); }
	uint32 PLUGIN_API release () override { return releaseImpl (); }

	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) override;

	tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler,
	                                         Linux::FileDescriptor fd) override;
	tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) override;
	tresult PLUGIN_API registerTimer (Linux::ITimerHandler* handler,
	                                  Linux::TimerInterval milliseconds) override;
	tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* handler) override;

	// Calls every registered timer once, in order of registration, whatever its period.
	void runTimers ();
	size_t numTimers () const { return timers.size (); }

private:
	std::vector<Linux::ITimerHandler*> timers;
};

// UTF-16 <-> UTF-8 for the 16-bit strings crossing the interface.
std::string toUtf8 (const char16_t* text, size_t maxUnits);
std::u16string toUtf16 (const std::string& text);

} // namespace tolvarhost
