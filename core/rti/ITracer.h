#pragma once
#include <cstdint>

namespace RTI {

// Four-character report codes, the characters packed high byte first.
constexpr uint32_t FourCC(const char (&s)[5]) noexcept
{
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
           uint32_t(uint8_t(s[3]));
}
constexpr uint32_t FourCC(const char (&s)[4]) noexcept
{
    return (uint32_t(uint8_t(s[0])) << 16) | (uint32_t(uint8_t(s[1])) << 8) | uint32_t(uint8_t(s[2]));
}

namespace TraceCode {
constexpr uint32_t Max = FourCC("max");       // range: groups send (0, steps), replay sends (bytes, 0)
constexpr uint32_t Current = FourCC("cur");   // replay position in bytes
constexpr uint32_t Done = FourCC("done");     // a group's run ended
constexpr uint32_t FileRemoved = FourCC("rm.f");   // first = size of the removed file
constexpr uint32_t FileCleared = FourCC("cl.f");
constexpr uint32_t ValueRemoved = FourCC("rm.v");
constexpr uint32_t ValueCleared = FourCC("cl.v");
constexpr uint32_t KeyRemoved = FourCC("rm.k");
}  // namespace TraceCode

static_assert(TraceCode::Max == 0x006D6178);
static_assert(TraceCode::Current == 0x00637572);
static_assert(TraceCode::Done == 0x646F6E65);
static_assert(TraceCode::FileRemoved == 0x726D2E66);
static_assert(TraceCode::FileCleared == 0x636C2E66);
static_assert(TraceCode::ValueRemoved == 0x726D2E76);
static_assert(TraceCode::ValueCleared == 0x636C2E76);
static_assert(TraceCode::KeyRemoved == 0x726D2E6B);

// The progress sink of long work. Not managed: the window implements it and
// hands itself to the workers. Receivers ignore codes they do not know.
class ITracer {
public:
    virtual ~ITracer() = default;
    virtual void Begin(const void* subject, unsigned stage) = 0;
    virtual void End(const void* subject, unsigned stage) = 0;
    virtual void Trace(uint32_t code, int32_t first, int32_t second) = 0;
    // Reserved slots; the window leaves them empty.
    virtual void Reserved1(int32_t, int32_t) {}
    virtual void Reserved2(int32_t, int32_t) {}
    virtual void Reserved3() {}
};

// Sends a report when there is someone to receive it.
inline void TraceTo(ITracer* tracer, uint32_t code, int32_t first, int32_t second)
{
    if (tracer) {
        tracer->Trace(code, first, second);
    }
}

}  // namespace RTI
