// Platform and compiler switches of the interface layer (Linux x86_64 build).
#pragma once

#if defined(__linux__)
#define SMTG_OS_LINUX 1
#define SMTG_OS_MACOS 0
#define SMTG_OS_WINDOWS 0
#else
#error "this interface layer is built for Linux only"
#endif

#if defined(__x86_64__) || defined(__aarch64__)
#define SMTG_PLATFORM_64 1
#else
#define SMTG_PLATFORM_64 0
#endif

#define kLittleEndian 0
#define kBigEndian 1
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
#define BYTEORDER kBigEndian
#else
#define BYTEORDER kLittleEndian
#endif

// Linux: ordinary member calls, non-COM result codes.
#define PLUGIN_API
#define COM_COMPATIBLE 0
#define SMTG_CPP11 1
#define SMTG_CPP11_STDLIBSUPPORT 1
#define SMTG_CPP14 1
#define SMTG_CPP17 1

#define SMTG_EXPORT_SYMBOL __attribute__((visibility("default")))
#define SMTG_OVERRIDE override
#define SMTG_CONSTEXPR constexpr
#define SMTG_NOEXCEPT noexcept

#define UNICODE_OFF 0
