#include "hostobjects.h"

#include <algorithm>
#include <cstring>

namespace tolvarhost {

namespace {

template <class I, class Self>
tresult answer (Self* self, void** obj)
{
	*obj = static_cast<I*> (self);
	self->addRef ();
	return kResultOk;
}

tresult noInterface (void** obj)
{
	if (obj)
		*obj = nullptr;
	return kNoInterface;
}

} // namespace

std::string toUtf8 (const char16_t* text, size_t maxUnits)
{
	std::string out;
	if (!text)
		return out;
	for (size_t i = 0; i < maxUnits && text[i]; ++i)
	{
		uint32_t c = text[i];
		if (c >= 0xD800 && c < 0xDC00 && i + 1 < maxUnits && text[i + 1] >= 0xDC00 &&
		    text[i + 1] < 0xE000)
		{
			c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
			++i;
		}
		if (c < 0x80)
			out += static_cast<char> (c);
		else if (c < 0x800)
		{
			out += static_cast<char> (0xC0 | (c >> 6));
			out += static_cast<char> (0x80 | (c & 0x3F));
		}
		else if (c < 0x10000)
		{
			out += static_cast<char> (0xE0 | (c >> 12));
			out += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
			out += static_cast<char> (0x80 | (c & 0x3F));
		}
		else
		{
			out += static_cast<char> (0xF0 | (c >> 18));
			out += static_cast<char> (0x80 | ((c >> 12) & 0x3F));
			out += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
			out += static_cast<char> (0x80 | (c & 0x3F));
		}
	}
	return out;
}

std::u16string toUtf16 (const std::string& text)
{
	std::u16string out;
	size_t i = 0;
	while (i < text.size ())
	{
		auto b = static_cast<unsigned char> (text[i]);
		uint32_t c = b;
		size_t extra = 0;
		if (b >= 0xF0) { c = b & 0x07; extra = 3; }
		else if (b >= 0xE0) { c = b & 0x0F; extra = 2; }
		else if (b >= 0xC0) { c = b & 0x1F; extra = 1; }
		++i;
		for (size_t k = 0; k < extra && i < text.size (); ++k, ++i)
			c = (c << 6) | (static_cast<unsigned char> (text[i]) & 0x3F);
		if (c >= 0x10000)
		{
			c -= 0x10000;
			out += static_cast<char16_t> (0xD800 + (c >> 10));
			out += static_cast<char16_t> (0xDC00 + (c & 0x3FF));
		}
		else
			out += static_cast<char16_t> (c);
	}
	return out;
}

//------------------------------------------------------------------------
tresult PLUGIN_API ParamValueQueue::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<Vst::IParamValueQueue> (iid))
		return answer<Vst::IParamValueQueue> (this, obj);
	return noInterface (obj);
}

tresult PLUGIN_API ParamValueQueue::getPoint (int32 index, int32& sampleOffset,
                                              Vst::ParamValue& value)
{
	if (index < 0 || index >= getPointCount ())
		return kResultFalse;
	sampleOffset = points[index].offset;
	value = points[index].value;
	return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint (int32 sampleOffset, Vst::ParamValue value,
                                              int32& index)
{
	if (sampleOffset < 0)
		return kInvalidArgument;
	auto it = std::lower_bound (points.begin (), points.end (), sampleOffset,
	                            [] (const Point& p, int32 off) { return p.offset < off; });
	if (it != points.end () && it->offset == sampleOffset)
		it->value = value;
	else
		it = points.insert (it, Point {sampleOffset, value});
	index = static_cast<int32> (it - points.begin ());
	return kResultOk;
}

//------------------------------------------------------------------------
ParameterChanges::~ParameterChanges () { clear (); }

tresult PLUGIN_API ParameterChanges::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<Vst::IParameterChanges> (iid))
		return answer<Vst::IParameterChanges> (this, obj);
	return noInterface (obj);
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData (int32 index)
{
	if (index < 0 || index >= getParameterCount ())
		return nullptr;
	return queues[index];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData (const Vst::ParamID& id,
                                                                      int32& index)
{
	for (size_t i = 0; i < queues.size (); ++i)
	{
		if (queues[i]->getParameterId () == id)
		{
			index = static_cast<int32> (i);
			return queues[i];
		}
	}
	queues.push_back (new ParamValueQueue (id));
	index = static_cast<int32> (queues.size () - 1);
	return queues.back ();
}

void ParameterChanges::clear ()
{
	for (auto* q : queues)
		q->release ();
	queues.clear ();
}

void ParameterChanges::addEmptyQueue (Vst::ParamID id)
{
	queues.push_back (new ParamValueQueue (id));
}

//------------------------------------------------------------------------
tresult PLUGIN_API HostStream::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<IBStream> (iid))
		return answer<IBStream> (this, obj);
	if (isIid<ISizeableStream> (iid))
		return answer<ISizeableStream> (this, obj);
	return noInterface (obj);
}

tresult PLUGIN_API HostStream::read (void* buffer, int32 numBytes, int32* numBytesRead)
{
	if (numBytesRead)
		*numBytesRead = 0;
	if (numBytes < 0 || (numBytes > 0 && !buffer))
		return kInvalidArgument;
	int64 avail = static_cast<int64> (bytes.size ()) - pos;
	if (avail < 0)
		avail = 0;
	int32 n = static_cast<int32> (std::min<int64> (numBytes, avail));
	if (n > 0)
		std::memcpy (buffer, bytes.data () + pos, static_cast<size_t> (n));
	pos += n;
	if (numBytesRead)
		*numBytesRead = n;
	return kResultOk;
}

tresult PLUGIN_API HostStream::write (void* buffer, int32 numBytes, int32* numBytesWritten)
{
	if (numBytesWritten)
		*numBytesWritten = 0;
	if (numBytes < 0 || (numBytes > 0 && !buffer))
		return kInvalidArgument;
	int64 n = numBytes;
	if (writeLimit >= 0)
		n = std::max<int64> (0, std::min<int64> (n, writeLimit - pos));
	if (n == 0 && numBytes > 0)
		return kResultFalse;
	if (pos + n > static_cast<int64> (bytes.size ()))
		bytes.resize (static_cast<size_t> (pos + n), 0);
	std::memcpy (bytes.data () + pos, buffer, static_cast<size_t> (n));
	pos += n;
	if (numBytesWritten)
		*numBytesWritten = static_cast<int32> (n);
	return kResultOk;
}

tresult PLUGIN_API HostStream::seek (int64 offset, int32 mode, int64* result)
{
	int64 base = 0;
	switch (mode)
	{
		case kIBSeekSet: base = 0; break;
		case kIBSeekCur: base = pos; break;
		case kIBSeekEnd: base = static_cast<int64> (bytes.size ()); break;
		default: return kInvalidArgument;
	}
	int64 target = base + offset;
	if (target < 0)
		return kInvalidArgument;
	pos = target;
	if (result)
		*result = pos;
	return kResultOk;
}

tresult PLUGIN_API HostStream::tell (int64* p)
{
	if (!p)
		return kInvalidArgument;
	*p = pos;
	return kResultOk;
}

tresult PLUGIN_API HostStream::getStreamSize (int64& size)
{
	size = static_cast<int64> (bytes.size ());
	return kResultOk;
}

tresult PLUGIN_API HostStream::setStreamSize (int64 size)
{
	if (size < 0 || (writeLimit >= 0 && size > writeLimit))
		return kResultFalse;
	bytes.resize (static_cast<size_t> (size), 0);
	return kResultOk;
}

//------------------------------------------------------------------------
tresult PLUGIN_API HostAttributeList::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<Vst::IAttributeList> (iid))
		return answer<Vst::IAttributeList> (this, obj);
	return noInterface (obj);
}

tresult PLUGIN_API HostAttributeList::setInt (AttrID id, int64 value)
{
	if (!id)
		return kInvalidArgument;
	Value v;
	v.kind = Value::kInt;
	v.i = value;
	values[id] = std::move (v);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getInt (AttrID id, int64& value)
{
	auto it = id ? values.find (id) : values.end ();
	if (it == values.end () || it->second.kind != Value::kInt)
		return kResultFalse;
	value = it->second.i;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::setFloat (AttrID id, double value)
{
	if (!id)
		return kInvalidArgument;
	Value v;
	v.kind = Value::kFloat;
	v.f = value;
	values[id] = std::move (v);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getFloat (AttrID id, double& value)
{
	auto it = id ? values.find (id) : values.end ();
	if (it == values.end () || it->second.kind != Value::kFloat)
		return kResultFalse;
	value = it->second.f;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::setString (AttrID id, const Vst::TChar* string)
{
	if (!id || !string)
		return kInvalidArgument;
	Value v;
	v.kind = Value::kString;
	v.s = reinterpret_cast<const char16_t*> (string);
	values[id] = std::move (v);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getString (AttrID id, Vst::TChar* string, uint32 sizeInBytes)
{
	auto it = id ? values.find (id) : values.end ();
	if (it == values.end () || it->second.kind != Value::kString || !string)
		return kResultFalse;
	size_t units = sizeInBytes / sizeof (Vst::TChar);
	if (units == 0)
		return kResultFalse;
	size_t n = std::min (units - 1, it->second.s.size ());
	std::memcpy (string, it->second.s.data (), n * sizeof (Vst::TChar));
	string[n] = 0;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::setBinary (AttrID id, const void* data, uint32 sizeInBytes)
{
	if (!id || (!data && sizeInBytes > 0))
		return kInvalidArgument;
	Value v;
	v.kind = Value::kBinary;
	auto* p = static_cast<const uint8_t*> (data);
	v.b.assign (p, p + sizeInBytes);
	values[id] = std::move (v);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getBinary (AttrID id, const void*& data, uint32& sizeInBytes)
{
	auto it = id ? values.find (id) : values.end ();
	if (it == values.end () || it->second.kind != Value::kBinary)
		return kResultFalse;
	data = it->second.b.data ();
	sizeInBytes = static_cast<uint32> (it->second.b.size ());
	return kResultOk;
}

//------------------------------------------------------------------------
HostMessage::HostMessage () : attributes (new HostAttributeList) {}

HostMessage::~HostMessage () { attributes->release (); }

tresult PLUGIN_API HostMessage::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<Vst::IMessage> (iid))
		return answer<Vst::IMessage> (this, obj);
	return noInterface (obj);
}

void PLUGIN_API HostMessage::setMessageID (FIDString id)
{
	hasId = id != nullptr;
	messageId = id ? id : "";
}

//------------------------------------------------------------------------
tresult PLUGIN_API HostApplication::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<Vst::IHostApplication> (iid))
		return answer<Vst::IHostApplication> (this, obj);
	return noInterface (obj);
}

tresult PLUGIN_API HostApplication::getName (Vst::String128 name)
{
	if (!name)
		return kInvalidArgument;
	static const char16_t text[] = u"tolvar-host";
	std::memcpy (name, text, sizeof (text));
	return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance (TUID cid, TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	*obj = nullptr;
	if (!cid || !iid)
		return kInvalidArgument;
	if (isIid<Vst::IMessage> (cid) && isIid<Vst::IMessage> (iid))
	{
		*obj = static_cast<Vst::IMessage*> (new HostMessage);
		return kResultOk;
	}
	if (isIid<Vst::IAttributeList> (cid) && isIid<Vst::IAttributeList> (iid))
	{
		*obj = static_cast<Vst::IAttributeList*> (new HostAttributeList);
		return kResultOk;
	}
	return kResultFalse;
}

//------------------------------------------------------------------------
tresult PLUGIN_API ComponentHandler::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<Vst::IComponentHandler> (iid))
		return answer<Vst::IComponentHandler> (this, obj);
	return noInterface (obj);
}

tresult PLUGIN_API ComponentHandler::beginEdit (Vst::ParamID)
{
	++openEdits;
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit (Vst::ParamID id, Vst::ParamValue valueNormalized)
{
	edits.push_back (Edit {id, valueNormalized});
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit (Vst::ParamID)
{
	--openEdits;
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent (int32 flags)
{
	restartFlags |= flags;
	return kResultOk;
}

//------------------------------------------------------------------------
ConnectionProxy::ConnectionProxy (Vst::IConnectionPoint* src) : source (src)
{
	if (source)
		source->addRef ();
}

ConnectionProxy::~ConnectionProxy ()
{
	unlink ();
	if (source)
		source->release ();
}

tresult PLUGIN_API ConnectionProxy::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<Vst::IConnectionPoint> (iid))
		return answer<Vst::IConnectionPoint> (this, obj);
	return noInterface (obj);
}

tresult ConnectionProxy::link (Vst::IConnectionPoint* dest)
{
	if (!source || !dest)
		return kInvalidArgument;
	if (destination)
		return kResultFalse;
	destination = dest;
	destination->addRef ();
	tresult r = source->connect (this);
	if (r != kResultOk)
	{
		destination->release ();
		destination = nullptr;
	}
	return r;
}

tresult ConnectionProxy::unlink ()
{
	if (!destination)
		return kResultFalse;
	tresult r = source->disconnect (this);
	destination->release ();
	destination = nullptr;
	return r;
}

tresult PLUGIN_API ConnectionProxy::connect (Vst::IConnectionPoint* other)
{
	return link (other);
}

tresult PLUGIN_API ConnectionProxy::disconnect (Vst::IConnectionPoint* other)
{
	if (!other || other != destination)
		return kInvalidArgument;
	return unlink ();
}

tresult PLUGIN_API ConnectionProxy::notify (Vst::IMessage* message)
{
	if (!destination)
		return kResultFalse;
	if (!message)
		return kInvalidArgument;
	return destination->notify (message);
}

} // namespace tolvarhost
