#include "uninstaller/ResultChannel.h"

#include "foundation/UniqueHandle.h"

#include <cstring>

bool DeliverResult(const Arguments& args, std::uint32_t result) {
    {
        const UniqueView view(MapViewOfFile(args.resultSection, FILE_MAP_WRITE, 0, 0, sizeof result));
        if (!view) return false;
        std::memcpy(view.get(), &result, sizeof result);
    }
    return SetEvent(args.doneEvent) != FALSE;
}
