// Basic scalar types of the interface layer.
#pragma once

#include "fplatform.h"

#include <cstdint>

namespace Steinberg {

typedef char int8;
typedef unsigned char uint8;
typedef unsigned char uchar;
typedef short int16;
typedef unsigned short uint16;
typedef int int32;
typedef unsigned int uint32;
typedef long long int64;
typedef unsigned long long uint64;
typedef int64 TSize;
typedef int32 tresult;
typedef uint8 TBool;
typedef uint64 TPtrInt;

typedef char char8;
typedef char16_t char16;
typedef char16 tchar;

typedef const char8* CStringA;
typedef const char16* CStringW;
typedef const char8* FIDString;

typedef int32 UCoord;

static const int32 kMaxInt32 = 0x7FFFFFFF;
static const int32 kMinInt32 = -kMaxInt32 - 1;
static const uint32 kMaxInt32u = 0xFFFFFFFFu;
static const int64 kMaxInt64 = 0x7FFFFFFFFFFFFFFFLL;
static const int64 kMinInt64 = -kMaxInt64 - 1;
static const uint64 kMaxInt64u = 0xFFFFFFFFFFFFFFFFULL;
static const float kMaxFloat = 3.40282346638528860e38f;
static const double kMaxDouble = 1.7976931348623158e308;

template <class T>
inline T Min(const T& a, const T& b) { return b < a ? b : a; }
template <class T>
inline T Max(const T& a, const T& b) { return a < b ? b : a; }
template <class T>
inline T Abs(const T& v) { return v < 0 ? -v : v; }
template <class T>
inline T Bound(T minVal, T maxVal, T v) { return v < minVal ? minVal : (maxVal < v ? maxVal : v); }

} // namespace Steinberg

static_assert(sizeof(Steinberg::int8) == 1 && sizeof(Steinberg::int16) == 2, "scalar sizes");
static_assert(sizeof(Steinberg::int32) == 4 && sizeof(Steinberg::int64) == 8, "scalar sizes");
static_assert(sizeof(Steinberg::TBool) == 1 && sizeof(Steinberg::char16) == 2, "scalar sizes");
static_assert(sizeof(Steinberg::TPtrInt) == sizeof(void*), "pointer-sized integer");
