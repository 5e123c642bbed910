#include "hostobjects.h"

#include <algorithm>
#include <cstring>

namespace tolvarhost {

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
HostStream::HostStream (const std::vector<uint8_t>& initial)
{
	if (!initial.empty () && setSize (static_cast<TSize> (initial.size ())))
		std::memcpy (memory, initial.data (), initial.size ());
}

tresult PLUGIN_API HostStream::write (void* buffer, int32 numBytes, int32* numBytesWritten)
{
	if (writeLimit >= 0 && numBytes > 0 && buffer)
	{
		const int64 room = writeLimit - cursor;
		if (room <= 0)
		{
			if (numBytesWritten)
				*numBytesWritten = 0;
			return kResultFalse;
		}
		if (room < numBytes)
			numBytes = static_cast<int32> (room);
	}
	return MemoryStream::write (buffer, numBytes, numBytesWritten);
}

tresult PLUGIN_API HostStream::setStreamSize (int64 newSize)
{
	if (newSize < 0 || (writeLimit >= 0 && newSize > writeLimit))
		return kResultFalse;
	return MemoryStream::setStreamSize (newSize);
}

//------------------------------------------------------------------------
HostAttributeList::Value& HostAttributeList::replace (AttrID id, Value::Kind kind)
{
	Value& v = values[id] = Value {};
	v.kind = kind;
	return v;
}

const HostAttributeList::Value* HostAttributeList::find (AttrID id, Value::Kind kind) const
{
	auto it = id ? values.find (id) : values.end ();
	if (it == values.end () || it->second.kind != kind)
		return nullptr;
	return &it->second;
}

tresult PLUGIN_API HostAttributeList::setInt (AttrID id, int64 value)
{
	if (!id)
		return kInvalidArgument;
	replace (id, Value::kInt).i = value;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getInt (AttrID id, int64& value)
{
	const Value* v = find (id, Value::kInt);
	if (!v)
		return kResultFalse;
	value = v->i;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::setFloat (AttrID id, double value)
{
	if (!id)
		return kInvalidArgument;
	replace (id, Value::kFloat).f = value;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getFloat (AttrID id, double& value)
{
	const Value* v = find (id, Value::kFloat);
	if (!v)
		return kResultFalse;
	value = v->f;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::setString (AttrID id, const Vst::TChar* string)
{
	if (!id || !string)
		return kInvalidArgument;
	replace (id, Value::kString).s = reinterpret_cast<const char16_t*> (string);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getString (AttrID id, Vst::TChar* string, uint32 sizeInBytes)
{
	const Value* v = find (id, Value::kString);
	if (!v || !string)
		return kResultFalse;
	size_t units = sizeInBytes / sizeof (Vst::TChar);
	if (units == 0)
		return kResultFalse;
	size_t n = std::min (units - 1, v->s.size ());
	std::memcpy (string, v->s.data (), n * sizeof (Vst::TChar));
	string[n] = 0;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::setBinary (AttrID id, const void* data, uint32 sizeInBytes)
{
	if (!id || (!data && sizeInBytes > 0))
		return kInvalidArgument;
	// Copied first: data may point into the value it replaces.
	auto* p = static_cast<const uint8_t*> (data);
	std::vector<uint8_t> bytes (p, p + sizeInBytes);
	replace (id, Value::kBinary).b = std::move (bytes);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getBinary (AttrID id, const void*& data, uint32& sizeInBytes)
{
	const Value* v = find (id, Value::kBinary);
	if (!v)
		return kResultFalse;
	data = v->b.data ();
	sizeInBytes = static_cast<uint32> (v->b.size ());
	return kResultOk;
}

//------------------------------------------------------------------------
HostMessage::HostMessage () : attributes (new HostAttributeList) {}

HostMessage::~HostMessage () { attributes->release (); }

void PLUGIN_API HostMessage::setMessageID (FIDString id)
{
	hasId = id != nullptr;
	messageId = id ? id : "";
}

//------------------------------------------------------------------------
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
tresult PLUGIN_API ComponentHandler::beginEdit (Vst::ParamID id)
{
	++openEdits;
	if (observer)
		observer (Step::begin, id, 0.0);
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit (Vst::ParamID id, Vst::ParamValue valueNormalized)
{
	edits.push_back (Edit {id, valueNormalized});
	if (observer)
		observer (Step::perform, id, valueNormalized);
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit (Vst::ParamID id)
{
	--openEdits;
	if (observer)
		observer (Step::end, id, 0.0);
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

namespace tolvarhost {

//------------------------------------------------------------------------
tresult PLUGIN_API PlugFrame::queryInterface (const TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	if (isIid<FUnknown> (iid) || isIid<IPlugFrame> (iid))
		*obj = static_cast<IPlugFrame*> (this);
	else if (isIid<Linux::IRunLoop> (iid))
		*obj = static_cast<Linux::IRunLoop*> (this);
	else
	{
		*obj = nullptr;
		return kNoInterface;
	}
	addRef ();
	return kResultOk;
}

tresult PLUGIN_API PlugFrame::resizeView (IPlugView* view, ViewRect* newSize)
{
	if (!view || !newSize)
		return kInvalidArgument;
	return view->onSize (newSize);
}

tresult PLUGIN_API PlugFrame::registerEventHandler (Linux::IEventHandler*, Linux::FileDescriptor)
{
	return kNotImplemented;
}

tresult PLUGIN_API PlugFrame::unregisterEventHandler (Linux::IEventHandler*)
{
	return kNotImplemented;
}

tresult PLUGIN_API PlugFrame::registerTimer (Linux::ITimerHandler* handler,
                                             Linux::TimerInterval milliseconds)
{
	if (!handler || milliseconds == 0 ||
	    std::find (timers.begin (), timers.end (), handler) != timers.end ())
		return kInvalidArgument;
	timers.push_back (handler);
	return kResultOk;
}

tresult PLUGIN_API PlugFrame::unregisterTimer (Linux::ITimerHandler* handler)
{
	auto it = std::find (timers.begin (), timers.end (), handler);
	if (it == timers.end ())
		return kInvalidArgument;
	timers.erase (it);
	return kResultOk;
}

void PlugFrame::runTimers ()
{
	// A handler may register or unregister timers; those gone meanwhile are skipped.
	const auto round = timers;
	for (auto* handler : round)
	{
		if (std::find (timers.begin (), timers.end (), handler) != timers.end ())
			handler->onTimer ();
	}
}

} // namespace tolvarhost
