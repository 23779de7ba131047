// Loading tweak-file-shaped documents from UTF-8 bytes in memory: XmlDocument
// (decoding included) beside pugixml parsing the same bytes with its default
// options. Run: corvane_bench --benchmark_filter=Xml
#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <string>

#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"

namespace {

// A catalogue of categories of tweaks, each with one registry key item, a
// little non-ASCII text and an entity, of at least the given size.
std::string TweakFile(size_t minimumBytes)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Tweaks>\r\n";
    for (size_t c = 0; text.size() < minimumBytes; ++c) {
        text += "  <Category n=\"Category " + std::to_string(c) + "\" i=\"" + std::to_string(c % 7) + "\">\r\n";
        for (int t = 0; t < 25; ++t) {
            const std::string id = std::to_string(c) + "_" + std::to_string(t);
            text += "    <Tweak n=\"Tweak " + id +
                    "\" d=\"Turns the feature off &amp; keeps it off (r\xC3\xA9glage)\" enabled=\"1\">\r\n";
            text += "      <Key root=\"HKCU\" path=\"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced" +
                    id + "\" action=\"VALUE_SET\" valuename=\"Setting" + id +
                    "\" valuetype=\"REG_DWORD\" valueval=\"1\"/>\r\n";
            text += "    </Tweak>\r\n";
        }
        text += "  </Category>\r\n";
    }
    return text + "</Tweaks>\r\n";
}

const std::string& Document(int64_t megabytes)
{
    static const std::string one = TweakFile(1u << 20);
    static const std::string ten = TweakFile(10u << 20);
    return megabytes == 1 ? one : ten;
}

void XmlDocumentLoad(benchmark::State& state)
{
    const std::string& bytes = Document(state.range(0));
    for (auto _ : state) {
        XmlDocument doc;
        if (doc.LoadFromUtf8(bytes) != 0) {
            state.SkipWithError("the document did not load");
            break;
        }
        benchmark::DoNotOptimize(doc.GetIndex().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void XmlPugixmlLoad(benchmark::State& state)
{
    const std::string& bytes = Document(state.range(0));
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_buffer(bytes.data(), bytes.size())) {
            state.SkipWithError("pugixml did not load the document");
            break;
        }
        benchmark::DoNotOptimize(doc.first_child().internal_object());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

// The decoding share of XmlDocumentLoad.
void XmlUtf8Decode(benchmark::State& state)
{
    const std::string& bytes = Document(state.range(0));
    for (auto _ : state) {
        std::wstring text;
        if (Text::Utf8ToWide(bytes, &text) != 0) {
            state.SkipWithError("the document did not decode");
            break;
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

}  // namespace

BENCHMARK(XmlDocumentLoad)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(XmlPugixmlLoad)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(XmlUtf8Decode)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
