#pragma once
#include <cstdint>

// Results are Windows error codes (0 = success) on every platform, so that the
// engine decides the same way over the real API and over the portable one.
namespace Err {
constexpr uint32_t Success = 0;
constexpr uint32_t InvalidFunction = 1;
constexpr uint32_t FileNotFound = 2;
constexpr uint32_t PathNotFound = 3;
constexpr uint32_t AccessDenied = 5;
constexpr uint32_t InvalidHandle = 6;
constexpr uint32_t NotEnoughMemory = 8;
constexpr uint32_t NoMoreFiles = 18;
constexpr uint32_t WriteFault = 29;
constexpr uint32_t ReadFault = 30;
constexpr uint32_t SharingViolation = 32;
constexpr uint32_t LockViolation = 33;
constexpr uint32_t HandleEof = 38;
constexpr uint32_t NotSupported = 50;
constexpr uint32_t FileExists = 80;
constexpr uint32_t InvalidParameter = 87;
constexpr uint32_t DiskFull = 112;
constexpr uint32_t InsufficientBuffer = 122;
constexpr uint32_t InvalidName = 123;
constexpr uint32_t CallNotImplemented = 120;
constexpr uint32_t DirNotEmpty = 145;
constexpr uint32_t NotSelected = 157;  // a tweak skipped because it is not selected
constexpr uint32_t AlreadyExists = 183;
constexpr uint32_t MoreData = 234;
constexpr uint32_t NoMoreItems = 259;
constexpr uint32_t DirectoryName = 267;
constexpr uint32_t NoUnicodeTranslation = 1113;
constexpr uint32_t Cancelled = 1223;
constexpr uint32_t ResourceDataNotFound = 1812;
constexpr uint32_t ResourceTypeNotFound = 1813;
constexpr uint32_t ResourceNameNotFound = 1814;
constexpr uint32_t KeyDeleted = 1018;
constexpr uint32_t BadFormat = 0xFFFFFFFFu;  // -1: wrong state or malformed data
}  // namespace Err
