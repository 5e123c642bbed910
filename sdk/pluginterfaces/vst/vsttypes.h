// Common types of the VST interfaces.
#pragma once

#include "pluginterfaces/base/fplatform.h"
#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {
namespace Vst {

#define kVstVersionString "VST 3.7.3"
#define kVstVersionMajor 3
#define kVstVersionMinor 7
#define kVstVersionSub 3

typedef char16 TChar;
typedef TChar String128[128];
typedef const char8* CString;

typedef int32 MediaType;
typedef int32 BusDirection;
typedef int32 BusType;
typedef int32 IoMode;
typedef int32 UnitID;
typedef double ParamValue;
typedef uint32 ParamID;
typedef int32 ProgramListID;
typedef int16 CtrlNumber;
typedef double TQuarterNotes;
typedef int64 TSamples;
typedef uint32 ColorSpec;

static const ParamID kNoParamId = 0xFFFFFFFF;

typedef float Sample32;
typedef double Sample64;
typedef double SampleRate;

typedef uint64 SpeakerArrangement;
typedef uint64 Speaker;

typedef uint32 NoteExpressionTypeID;
typedef double NoteExpressionValue;

} // namespace Vst
} // namespace Steinberg

static_assert(sizeof(Steinberg::Vst::String128) == 256, "String128 is 128 UTF-16 units");
