// Command lines built from parameters the user typed and the Windows directory the platform
// reports: arbitrary bytes for both.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "applets/catalogue.h"
#include "applets/launch.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fuzz(data, size);
    const std::string parameters = fuzz.ConsumeRandomLengthString();
    const std::string windowsDir = fuzz.ConsumeRemainingBytesAsString();
    for (const applets::Applet& applet : applets::kApplets) {
        const std::string program(applet.program);
        const std::string line = applets::CommandLine(applet, parameters, windowsDir);
        switch (applet.launch) {
            case applets::Launch::WindowsDirectory:
                Check(StartsWith(line, windowsDir) && EndsWith(line, program) &&
                      line.size() == windowsDir.size() + program.size());
                break;
            case applets::Launch::BareOnly:
                Check(line == program);
                break;
            case applets::Launch::BareWithParameters:
                Check(StartsWith(line, program));
                if (parameters.empty())
                    Check(line == program);
                else
                    Check(EndsWith(line, " " + parameters) &&
                          line.size() == program.size() + 1 + parameters.size());
                break;
        }
    }
    return 0;
}
