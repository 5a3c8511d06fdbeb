#include "processing/modules/text_out.h"

#include "core/error.h"
#include "core/numtext.h"
#include "formats/trace_text.h"

namespace tarnix::modules {

void writeTextTrace(Session& s, const std::string& path, long long firstRecord, bool firstShot,
                    int n, long double rate) {
    if (trim(path).empty())
        throw Error("no ASCII output file: choose one with the editor's button");
    // Every time line is a division by the rate.
    if (!(rate > 0))
        throw Error("the sample rate is " + floatText(rate) +
                    " samples per ms; the time lines cannot be written");
    if (firstShot) {
        s.asciiOut.reset();
        s.asciiOut = std::make_unique<AsciiOutput>(path, n, firstRecord);
    }
    if (auto* out = dynamic_cast<AsciiOutput*>(s.asciiOut.get()))
        out->writeTrace(s.current, n, rate);
}

} // namespace tarnix::modules
