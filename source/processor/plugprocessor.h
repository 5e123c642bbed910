#pragma once

#include "hallengine.h"
#include "mailbox.h"
#include "public.sdk/source/vst/vstaudioeffect.h"
#include "staterecord.h"

namespace Steinberg {
namespace Vst {

// The hall reverb processor: buses, parameter changes, bypass and the state record around
// one HallEngine. State calls (UI thread) and process (audio thread) meet only through two
// mailboxes: a restored record reaches the engine at the start of the next block, and the
// record as processed comes back for getState.
class PlugProcessor : public AudioEffect
{
public:
	PlugProcessor ();
	~PlugProcessor () override;

	tresult PLUGIN_API initialize (FUnknown* context) override;
	tresult PLUGIN_API setActive (TBool state) override;
	tresult PLUGIN_API setState (IBStream* state) override;
	tresult PLUGIN_API getState (IBStream* state) override;
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) override;
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) override;
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) override;
	tresult PLUGIN_API process (ProcessData& data) override;
	uint32 PLUGIN_API getTailSamples () override;

	static FUnknown* createInstance (void* context);

	// For tests and tools, on the UI thread: the record getState writes and the engine.
	StateRecord stateRecord ();
	const tolvar::HallEngine& engine () const { return hall; }

protected:
	struct Restore
	{
		StateRecord record;
		uint64 serial;
	};

	bool takeRestoredState ();
	bool applyParameterChanges (IParameterChanges* changes);
	void bypass (ProcessData& data);
	bool runEngine (ProcessData& data);

	tolvar::HallEngine hall;
	double sampleRate = 0.0;

	// Audio side: the record the engine runs with, and the serial of the last restore in it.
	StateRecord record;
	uint64 appliedSerial = 0;

	// UI side: the last record handed to setState, and how many were handed over.
	StateRecord lastRestore;
	uint64 restoreSerial = 0;

	tolvar::Mailbox<Restore> restored; // UI to audio
	tolvar::Mailbox<Restore> processed; // audio to UI
};

} // namespace Vst
} // namespace Steinberg
