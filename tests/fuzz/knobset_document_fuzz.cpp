// libFuzzer entry point for the tweak file editor's document: a user's tweak
// file is read, validated and written back. Besides not crashing, a document
// that reads must write text that reads again and writes the same text (the
// editor saves what it shows, nothing drifts between saves).
//   build/fuzz/tests/knobset_document_fuzz -max_total_time=60
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/DocumentWriter.h"
#include "utils/Knobset/document/Validator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Knobset::Document document;
    std::wstring error;
    if (Knobset::ReadDocumentFromUtf8(std::string_view(reinterpret_cast<const char*>(data), size), &document,
                                      &error) != 0) {
        return 0;
    }
    Knobset::NoWaitRenameClock clock;
    (void)Knobset::Validate(&document, clock);
    const std::wstring written = Knobset::WriteDocumentText(document);
    if (written.empty()) {
        return 0;  // refused: the output would not be well formed
    }
    Knobset::Document again;
    if (Knobset::ReadDocumentFromText(written, &again, &error) != 0) {
        std::abort();  // the editor wrote a file it cannot read back
    }
    if (Knobset::WriteDocumentText(again) != written) {
        std::abort();  // saving twice changed the file
    }
    return 0;
}
