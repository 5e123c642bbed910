#include "plugin.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cstring>

namespace tolvarhost {

//------------------------------------------------------------------------
AudioBlock::AudioBlock (int32 maxSamples, int32 symbolicSampleSize)
: capacity (std::max<int32> (maxSamples, 1)), symbolicSize (symbolicSampleSize)
{
	for (int c = 0; c < 2; ++c)
	{
		if (symbolicSize == Vst::kSample32)
		{
			in32[c].assign (capacity, 0.f);
			out32[c].assign (capacity, 0.f);
			in32Ptr[c] = in32[c].data ();
			out32Ptr[c] = out32[c].data ();
		}
		else
		{
			in64[c].assign (capacity, 0.0);
			out64[c].assign (capacity, 0.0);
			in64Ptr[c] = in64[c].data ();
			out64Ptr[c] = out64[c].data ();
		}
	}
	inBus.numChannels = 2;
	outBus.numChannels = 2;
	if (symbolicSize == Vst::kSample32)
	{
		inBus.channelBuffers32 = in32Ptr;
		outBus.channelBuffers32 = out32Ptr;
	}
	else
	{
		inBus.channelBuffers64 = in64Ptr;
		outBus.channelBuffers64 = out64Ptr;
	}
	processData.processMode = Vst::kOffline;
	processData.symbolicSampleSize = symbolicSize;
	processData.numInputs = 1;
	processData.numOutputs = 1;
	processData.inputs = &inBus;
	processData.outputs = &outBus;
	processData.processContext = &context;
}

void AudioBlock::fillInput (const StereoBuffer& in, size_t pos, int32 n)
{
	const size_t frames = in.frames ();
	for (int32 i = 0; i < n && i < capacity; ++i)
	{
		const size_t at = pos + static_cast<size_t> (i);
		const double l = at < frames ? in.left[at] : 0.0;
		const double r = at < frames ? in.right[at] : 0.0;
		if (symbolicSize == Vst::kSample32)
		{
			in32[0][i] = static_cast<float> (l);
			in32[1][i] = static_cast<float> (r);
		}
		else
		{
			in64[0][i] = l;
			in64[1][i] = r;
		}
	}
}

void AudioBlock::takeOutput (StereoBuffer& out, size_t pos, int32 n) const
{
	for (int32 i = 0; i < n && i < capacity && pos + i < out.frames (); ++i)
	{
		if (symbolicSize == Vst::kSample32)
		{
			out.left[pos + i] = out32[0][i];
			out.right[pos + i] = out32[1][i];
		}
		else
		{
			out.left[pos + i] = out64[0][i];
			out.right[pos + i] = out64[1][i];
		}
	}
}

tresult AudioBlock::process (Vst::IAudioProcessor* processor, int32 n, Vst::IParameterChanges* changes)
{
	processData.numSamples = std::min (n, capacity);
	processData.inputParameterChanges = changes;
	tresult r = processor->process (processData);
	context.projectTimeSamples += processData.numSamples;
	context.continousTimeSamples += processData.numSamples;
	return r;
}

//------------------------------------------------------------------------
namespace {

// Creates class cid as interface I and initialises it with the host context;
// null (and error set) when either step fails.
template <class I>
Ref<I> createInitialized (const Module& module, const TUID cid, FUnknown* context,
                          const std::string& role, std::string& error)
{
	Ref<I> obj = module.create<I> (cid);
	if (!obj)
		error = "cannot create the " + role + " class " + cidToHex (cid);
	else if (obj->initialize (context) != kResultOk)
	{
		obj.reset ();
		error = "the " + role + " refused initialize";
	}
	return obj;
}

} // namespace

std::unique_ptr<PluginInstance> PluginInstance::create (Module& module, std::string& error,
                                                        bool withController)
{
	FactoryDescription desc;
	if (!describeFactory (module.factory (), desc, error))
		return nullptr;
	const ClassDescription* procClass = nullptr;
	for (const auto& c : desc.classes)
	{
		if (c.category == "Audio Module Class")
		{
			procClass = &c;
			break;
		}
	}
	if (!procClass)
	{
		error = "the factory has no audio processor class";
		return nullptr;
	}

	std::unique_ptr<PluginInstance> p (new PluginInstance);
	p->className = procClass->name;
	p->hostApp.reset (new HostApplication);
	p->handler.reset (new ComponentHandler);

	FUnknown* context = static_cast<Vst::IHostApplication*> (p->hostApp.get ());
	p->componentPtr =
	    createInitialized<Vst::IComponent> (module, procClass->cid, context, "processor", error);
	if (!p->componentPtr)
		return nullptr;
	p->componentInitialized = true;
	p->processorPtr = queryAs<Vst::IAudioProcessor> (p->componentPtr.get ());
	if (!p->processorPtr)
	{
		error = "the processor does not answer IAudioProcessor";
		return nullptr;
	}
	if (!withController)
		return p;

	// A single-object plug-in answers IEditController itself.
	p->controllerPtr = queryAs<Vst::IEditController> (p->componentPtr.get ());
	if (!p->controllerPtr)
	{
		if (p->componentPtr->getControllerClassId (p->controllerCid) != kResultOk)
		{
			error = "the processor names no controller class";
			return nullptr;
		}
		p->controllerPtr = createInitialized<Vst::IEditController> (module, p->controllerCid, context,
		                                                            "controller", error);
		if (!p->controllerPtr)
			return nullptr;
		p->controllerInitialized = true;

		// Both directions through a proxy, as hosts do.
		auto compCP = queryAs<Vst::IConnectionPoint> (p->componentPtr.get ());
		auto ctrlCP = queryAs<Vst::IConnectionPoint> (p->controllerPtr.get ());
		if (compCP && ctrlCP)
		{
			p->toController.reset (new ConnectionProxy (compCP.get ()));
			p->toComponent.reset (new ConnectionProxy (ctrlCP.get ()));
			if (p->toController->link (ctrlCP.get ()) != kResultOk ||
			    p->toComponent->link (compCP.get ()) != kResultOk)
			{
				error = "connecting processor and controller failed";
				return nullptr;
			}
		}
	}
	p->syncControllerFromProcessor ();
	p->controllerPtr->setComponentHandler (p->handler.get ());
	return p;
}

void PluginInstance::disconnect ()
{
	if (toController)
		toController->unlink ();
	if (toComponent)
		toComponent->unlink ();
	toController.reset ();
	toComponent.reset ();
}

PluginInstance::~PluginInstance ()
{
	stop ();
	disconnect ();
	if (controllerPtr)
	{
		controllerPtr->setComponentHandler (nullptr);
		if (controllerInitialized)
			controllerPtr->terminate ();
	}
	if (componentPtr && componentInitialized)
		componentPtr->terminate ();
	processorPtr.reset ();
	controllerPtr.reset ();
	componentPtr.reset ();
}

tresult PluginInstance::syncControllerFromProcessor ()
{
	if (!controllerPtr)
		return kResultFalse;
	Ref<HostStream> stream (new HostStream);
	tresult r = componentPtr->getState (stream.get ());
	if (r != kResultOk)
		return r;
	stream->rewind ();
	return controllerPtr->setComponentState (stream.get ());
}

tresult PluginInstance::loadState (const std::vector<uint8_t>& bytes)
{
	Ref<HostStream> stream (new HostStream (bytes));
	tresult r = componentPtr->setState (stream.get ());
	if (controllerPtr)
	{
		stream->rewind ();
		tresult rc = controllerPtr->setComponentState (stream.get ());
		if (r == kResultOk)
			r = rc;
	}
	return r;
}

bool PluginInstance::saveState (std::vector<uint8_t>& bytes)
{
	Ref<HostStream> stream (new HostStream);
	if (componentPtr->getState (stream.get ()) != kResultOk)
		return false;
	bytes = stream->data ();
	return true;
}

bool PluginInstance::start (double sampleRate, int32 maxBlock, int32 symbolicSampleSize,
                            std::string& error)
{
	if (started)
		return true;
	Vst::SpeakerArrangement in = Vst::SpeakerArr::kStereo;
	Vst::SpeakerArrangement out = Vst::SpeakerArr::kStereo;
	if (processorPtr->setBusArrangements (&in, 1, &out, 1) != kResultTrue)
	{
		error = "the processor refused a stereo in/stereo out arrangement";
		return false;
	}
	if (processorPtr->canProcessSampleSize (symbolicSampleSize) != kResultTrue)
	{
		error = symbolicSampleSize == Vst::kSample64 ? "the processor cannot process 64-bit samples"
		                                             : "the processor cannot process 32-bit samples";
		return false;
	}
	if (auto req = queryAs<Vst::IProcessContextRequirements> (componentPtr.get ()))
		req->getProcessContextRequirements ();
	for (int32 dir = Vst::kInput; dir <= Vst::kOutput; ++dir)
		if (componentPtr->getBusCount (Vst::kAudio, dir) > 0)
			componentPtr->activateBus (Vst::kAudio, dir, 0, true);

	Vst::ProcessSetup setup {};
	setup.processMode = Vst::kOffline;
	setup.symbolicSampleSize = symbolicSampleSize;
	setup.maxSamplesPerBlock = maxBlock;
	setup.sampleRate = sampleRate;
	if (processorPtr->setupProcessing (setup) != kResultOk)
	{
		error = "setupProcessing failed";
		return false;
	}
	if (componentPtr->setActive (true) != kResultOk)
	{
		error = "setActive(true) failed";
		return false;
	}
	// Plug-ins without a use for it answer kNotImplemented; that is no error.
	processorPtr->setProcessing (true);
	started = true;
	return true;
}

void PluginInstance::stop ()
{
	if (!started)
		return;
	processorPtr->setProcessing (false);
	componentPtr->setActive (false);
	started = false;
}

std::vector<ParameterDescription> PluginInstance::parameters () const
{
	std::vector<ParameterDescription> out;
	if (!controllerPtr)
		return out;
	int32 count = controllerPtr->getParameterCount ();
	for (int32 i = 0; i < count; ++i)
	{
		Vst::ParameterInfo info {};
		if (controllerPtr->getParameterInfo (i, info) != kResultOk)
			continue;
		ParameterDescription d;
		d.id = info.id;
		d.title = toUtf8 (reinterpret_cast<const char16_t*> (info.title), 128);
		d.shortTitle = toUtf8 (reinterpret_cast<const char16_t*> (info.shortTitle), 128);
		d.units = toUtf8 (reinterpret_cast<const char16_t*> (info.units), 128);
		d.stepCount = info.stepCount;
		d.defaultNormalized = info.defaultNormalizedValue;
		d.unitId = info.unitId;
		d.flags = info.flags;
		out.push_back (std::move (d));
	}
	return out;
}

bool PluginInstance::findParameter (const std::string& title, Vst::ParamID& id) const
{
	for (const auto& p : parameters ())
	{
		if (p.title == title)
		{
			id = p.id;
			return true;
		}
	}
	return false;
}

std::string PluginInstance::valueText (Vst::ParamID id, double normalized) const
{
	if (!controllerPtr)
		return {};
	Vst::String128 text {};
	if (controllerPtr->getParamStringByValue (id, normalized, text) != kResultOk)
		return {};
	return toUtf8 (reinterpret_cast<const char16_t*> (text), 128);
}

//------------------------------------------------------------------------
bool render (PluginInstance& plugin, const StereoBuffer& input, const RenderSettings& settings,
             RenderResult& result, std::string& error)
{
	if (settings.bits != 32 && settings.bits != 64)
	{
		error = "sample width must be 32 or 64";
		return false;
	}
	if (settings.blockSize < 1 || !(settings.sampleRate > 0.0))
	{
		error = "block size and sample rate must be positive";
		return false;
	}
	const int32 sampleSize = settings.bits == 64 ? Vst::kSample64 : Vst::kSample32;
	if (!plugin.start (settings.sampleRate, settings.blockSize, sampleSize, error))
		return false;

	AudioBlock block (settings.blockSize, sampleSize);
	Ref<ParameterChanges> changes (new ParameterChanges);
	for (const auto& p : settings.params)
	{
		int32 index = 0;
		if (auto* q = changes->addParameterData (p.id, index))
			q->addPoint (0, p.normalized, index);
	}

	const int64 inFrames = static_cast<int64> (input.frames ());
	result = RenderResult {};
	result.inputFrames = inFrames;
	result.output.sampleRate = settings.sampleRate;
	result.output.resize (static_cast<size_t> (inFrames));

	auto reportedTail = [&] () -> uint32 {
		uint32 t = plugin.processor ()->getTailSamples ();
		if (t == Vst::kInfiniteTail)
			t = static_cast<uint32> (settings.maxTailSeconds * settings.sampleRate);
		return t;
	};
	tresult failed = kResultOk;
	auto runBlock = [&] (int64 pos, int32 n) {
		block.fillInput (input, static_cast<size_t> (pos), n);
		tresult r = block.process (plugin.processor (), n, changes.get ());
		if (r != kResultOk && failed == kResultOk)
			failed = r;
		block.takeOutput (result.output, static_cast<size_t> (pos), n);
		changes->clear ();
	};

	// Without input the parameters still reach the processor, in a flush call.
	if (inFrames == 0)
	{
		failed = block.process (plugin.processor (), 0, changes.get ());
		changes->clear ();
	}

	int64 pos = 0;
	int64 total = inFrames;
	while (pos < inFrames)
	{
		int32 n = static_cast<int32> (std::min<int64> (settings.blockSize, inFrames - pos));
		runBlock (pos, n);
		// Parameters only arrive in the first block, so the tail is known from here on.
		if (pos == 0)
			total = inFrames + reportedTail ();
		pos += n;
		if (settings.progress)
			settings.progress (pos, total);
	}

	// The tail follows the parameters now in force.
	const uint32 tail = reportedTail ();
	result.tailSamples = tail;
	total = inFrames + tail;
	result.output.left.resize (static_cast<size_t> (total), 0.0);
	result.output.right.resize (static_cast<size_t> (total), 0.0);
	while (pos < total)
	{
		int32 n = static_cast<int32> (std::min<int64> (settings.blockSize, total - pos));
		runBlock (pos, n);
		pos += n;
		if (settings.progress)
			settings.progress (pos, total);
	}
	plugin.stop ();
	if (failed != kResultOk)
	{
		error = "process failed with result " + std::to_string (failed);
		return false;
	}
	return true;
}

} // namespace tolvarhost
