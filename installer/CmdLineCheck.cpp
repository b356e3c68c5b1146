#include "installer/CmdLine.h"

#include "foundation/TextConversion.h"

void CmdLine::checkAllUsed(bool includeProgramName) const {
    const std::wstring report = unusedItemsReport(includeProgramName);
    if (!report.empty()) throw Err(WideToMultiByte(report));
}
