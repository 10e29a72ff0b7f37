// libFuzzer target: a cursor file from anywhere is decoded or refused with AppError, never
// read out of bounds.

#include "app_error.h"
#include "cursor_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        CursorFile::decode(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const AppError&) {
    }
    return 0;
}
