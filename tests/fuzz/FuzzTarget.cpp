// One libFuzzer target: QUVEX_FUZZ_PROPERTY names the property of Properties.h it checks. A
// violated property is a finding: the input is kept by the fuzzer.
#include "Properties.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv); // the SQL drivers need one
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto violation = quvex::properties::QUVEX_FUZZ_PROPERTY(input)) {
        std::fprintf(stderr, "property violated: %s\n", qPrintable(*violation));
        std::abort();
    }
    return 0;
}
